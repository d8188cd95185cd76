#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "recgame/AiRule.h"
#include "script/TextBuffer.h"

namespace script {

// The texts of the elements of one script written so far. Scripts repeat most of their elements (a
// real one writes each of its distinct elements four times on average), so each is formatted once
// and copied after. An element's text depends on nothing but its fields, the script's strings and
// the name set, and these stay the same while one script is written. The cache is bounded: once it
// is full, elements are formatted as they come.
class ElementTextCache {
 public:
  std::optional<std::string_view> Find(const recgame::AiElement& element) const;
  void Insert(const recgame::AiElement& element, std::string_view text);

 private:
  static constexpr size_t kSlots = 4096;         // a power of two
  static constexpr size_t kMaxEntries = kSlots * 3 / 4;
  static constexpr size_t kMaxText = 256 * 1024;  // of all texts together
  static constexpr size_t kMaxOneText = 1024;

  // An element's fields, packed into words that compare and hash at once.
  using Key = std::array<uint64_t, 3>;

  struct Entry {
    Key key;
    uint32_t offset = 0;
    uint32_t length = 0;  // 0: the slot is free; no element's text is empty
  };

  static Key KeyOf(const recgame::AiElement& element);
  static size_t SlotOf(const Key& key);

  std::unique_ptr<Entry[]> m_entries = std::make_unique<Entry[]>(kSlots);
  size_t m_count = 0;
  TextBuffer m_texts;
};

}  // namespace script
