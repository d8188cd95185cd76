#include "script/ElementTextCache.h"

namespace script {

namespace {

uint64_t Pack(int32_t low, int32_t high) {
  return static_cast<uint32_t>(low) | (uint64_t{static_cast<uint32_t>(high)} << 32);
}

}  // namespace

ElementTextCache::Key ElementTextCache::KeyOf(const recgame::AiElement& element) {
  return {Pack(static_cast<int32_t>(element.kind), element.id), Pack(element.p1, element.p2),
          Pack(element.p3, element.p4)};
}

size_t ElementTextCache::SlotOf(const Key& key) {
  const uint64_t hash = key[0] * 0x9E3779B97F4A7C15u ^ key[1] * 0xC2B2AE3D27D4EB4Fu ^ key[2] * 0x165667B19E3779F9u;
  return static_cast<size_t>(hash >> 40) & (kSlots - 1);
}

std::optional<std::string_view> ElementTextCache::Find(const recgame::AiElement& element) const {
  const Key key = KeyOf(element);
  for (size_t slot = SlotOf(key);; slot = (slot + 1) & (kSlots - 1)) {
    const Entry& entry = m_entries[slot];
    if (entry.length == 0) return std::nullopt;
    if (entry.key[0] == key[0] && entry.key[1] == key[1] && entry.key[2] == key[2]) {
      return m_texts.View().substr(entry.offset, entry.length);
    }
  }
}

void ElementTextCache::Insert(const recgame::AiElement& element, std::string_view text) {
  if (m_count == kMaxEntries || text.empty() || text.size() > kMaxOneText || m_texts.Size() + text.size() > kMaxText) {
    return;
  }
  const Key key = KeyOf(element);
  size_t slot = SlotOf(key);
  while (m_entries[slot].length != 0) slot = (slot + 1) & (kSlots - 1);
  m_entries[slot] = {key, static_cast<uint32_t>(m_texts.Size()), static_cast<uint32_t>(text.size())};
  m_texts.Append(text);
  ++m_count;
}

}  // namespace script
