#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>

#include "recgame/AiRule.h"

namespace recgame {

// The size of one rule record in the header: a 16-byte rule header and 16 element records.
constexpr size_t kRuleRecordSize = 400;

// The rules of one script, read from their records in the inflated header one at a time, as they
// are wanted: a script of thousands of rules takes no memory beyond the header that holds them.
// The rules keep the header's bytes alive, so they stay valid whatever becomes of the header.
class AiRules {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = AiRule;
    using difference_type = std::ptrdiff_t;

    Iterator() = default;
    Iterator(const AiRules* rules, size_t index) : m_rules(rules), m_index(index) {}
    AiRule operator*() const { return (*m_rules)[m_index]; }
    Iterator& operator++() {
      ++m_index;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++m_index;
      return before;
    }
    bool operator==(const Iterator& other) const { return m_index == other.m_index; }

   private:
    const AiRules* m_rules = nullptr;
    size_t m_index = 0;
  };

  AiRules() = default;
  // `records` lies within the bytes that `owner` keeps; its size is a multiple of kRuleRecordSize.
  // `claimed` is the rule count the block stores.
  AiRules(std::shared_ptr<const uint8_t[]> owner, std::span<const uint8_t> records, int16_t claimed)
      : m_owner(std::move(owner)), m_records(records), m_claimed(claimed) {}

  size_t size() const { return m_records.size() / kRuleRecordSize; }
  // The rule count as stored: size() for a whole script, zero or less for one without rules, more
  // for one cut short.
  int16_t Claimed() const { return m_claimed; }
  bool IsCutShort() const { return m_claimed > 0 && static_cast<size_t>(m_claimed) > size(); }
  bool empty() const { return m_records.empty(); }
  // Every slot is read, also those beyond the element count.
  AiRule operator[](size_t index) const;
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }

 private:
  std::shared_ptr<const uint8_t[]> m_owner;
  std::span<const uint8_t> m_records;
  int16_t m_claimed = 0;
};

}  // namespace recgame
