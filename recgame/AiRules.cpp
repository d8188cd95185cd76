#include "recgame/AiRules.h"

#include "recgame/ByteReader.h"

namespace recgame {

namespace {

// Layout of a rule record. The first-action index comes before the element count.
constexpr size_t kFirstActionOffset = 12;
constexpr size_t kElementCountOffset = 13;
constexpr size_t kElementsOffset = 16;
constexpr size_t kElementRecordSize = 24;
static_assert(kElementsOffset + kElementSlots * kElementRecordSize == kRuleRecordSize);

// Layout of an element record; bytes 6 and 7 are not read.
constexpr size_t kKindOffset = 0;
constexpr size_t kIdOffset = 4;
constexpr size_t kParametersOffset = 8;

int32_t I32At(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<int32_t>(ByteReader::DecodeFixed32(bytes.subspan(offset).first<4>()));
}

AiElement DecodeElement(std::span<const uint8_t> record) {
  return {static_cast<ElementKind>(I32At(record, kKindOffset)),
          static_cast<int16_t>(static_cast<uint16_t>(record[kIdOffset] | (record[kIdOffset + 1] << 8))),
          I32At(record, kParametersOffset),
          I32At(record, kParametersOffset + 4),
          I32At(record, kParametersOffset + 8),
          I32At(record, kParametersOffset + 12)};
}

}  // namespace

AiRule AiRules::operator[](size_t index) const {
  const std::span<const uint8_t> record = m_records.subspan(index * kRuleRecordSize, kRuleRecordSize);
  AiRule rule;
  rule.firstAction = static_cast<int8_t>(record[kFirstActionOffset]);
  rule.elementCount = static_cast<int8_t>(record[kElementCountOffset]);
  for (size_t slot = 0; slot < rule.elements.size(); ++slot) {
    rule.elements[slot] = DecodeElement(record.subspan(kElementsOffset + slot * kElementRecordSize));
  }
  return rule;
}

}  // namespace recgame
