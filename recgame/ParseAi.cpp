#include <algorithm>
#include <string>

#include "recgame/AiSection.h"
#include "recgame/ByteReader.h"

// Layout of the AI section at the start of the inflated header. Fields the parser does not need are
// skipped; every field it reads or skips must lie inside the header.
namespace {

constexpr size_t kBytesBeforeAiFlag = 12;
constexpr size_t kBytesBeforeStringCount = 2;
constexpr size_t kBytesBeforeStrings = 4;
constexpr size_t kBytesBeforeAiBlock = 6;
constexpr size_t kBytesBeforeRuleCount = 6;  // in the block header, after the marker
constexpr size_t kBytesAfterRuleCount = 4;
constexpr uint32_t kAiBlockMarker = 1;
constexpr size_t kMaxAiBlocks = 8;  // one per player of a game
constexpr size_t kBytesBeforeFirstAction = 12;  // in the rule header
constexpr size_t kBytesAfterElementCount = 2;
constexpr size_t kBytesAfterElementId = 2;
constexpr size_t kElementRecordSize = 24;
constexpr size_t kRuleRecordSize = 16 + kElementSlots * kElementRecordSize;

// One string record: a 32-bit length and that many bytes. The entry ends at the first zero byte.
bool ReadString(ByteReader& reader, std::string* text) {
  uint32_t length = 0;
  std::span<const uint8_t> bytes;
  if (!reader.ReadU32(&length) || !reader.ReadBytes(length, &bytes)) return false;
  text->assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), uint8_t{0}));
  return true;
}

bool ReadStringTable(ByteReader& reader, std::vector<std::string>* table) {
  int16_t count = 0;
  if (!reader.Skip(kBytesBeforeStringCount) || !reader.ReadI16(&count) || count < 0 ||
      !reader.Skip(kBytesBeforeStrings)) {
    return false;
  }
  std::vector<std::string> strings(static_cast<size_t>(count));
  for (std::string& text : strings) {
    if (!ReadString(reader, &text)) return false;
  }
  *table = std::move(strings);
  return true;
}

bool ReadElement(ByteReader& reader, AiElement* element) {
  int32_t kind = 0;
  if (!reader.ReadI32(&kind) || !reader.ReadI16(&element->id) || !reader.Skip(kBytesAfterElementId) ||
      !reader.ReadI32(&element->p1) || !reader.ReadI32(&element->p2) || !reader.ReadI32(&element->p3) ||
      !reader.ReadI32(&element->p4)) {
    return false;
  }
  element->kind = static_cast<ElementKind>(kind);
  return true;
}

// Every slot is read, also those beyond the element count.
bool ReadRule(ByteReader& reader, AiRule* rule) {
  if (!reader.Skip(kBytesBeforeFirstAction) || !reader.ReadI8(&rule->firstAction) ||
      !reader.ReadI8(&rule->elementCount) || !reader.Skip(kBytesAfterElementCount)) {
    return false;
  }
  for (AiElement& element : rule->elements) {
    if (!ReadElement(reader, &element)) return false;
  }
  return true;
}

// One AI block: its 16-byte header with the marker and the rule count, then its rule records. The
// records must all be present before any is taken; a negative count holds no rules.
bool ReadAiBlock(ByteReader& reader, std::vector<AiRule>* rules) {
  uint32_t marker = 0;
  int16_t ruleCount = 0;
  if (!reader.ReadU32(&marker) || marker != kAiBlockMarker || !reader.Skip(kBytesBeforeRuleCount) ||
      !reader.ReadI16(&ruleCount) || !reader.Skip(kBytesAfterRuleCount)) {
    return false;
  }
  const size_t count = ruleCount > 0 ? static_cast<size_t>(ruleCount) : 0;
  if (reader.Remaining() / kRuleRecordSize < count) return false;
  rules->resize(count);
  for (AiRule& rule : *rules) {
    if (!ReadRule(reader, &rule)) return false;
  }
  return true;
}

}  // namespace

namespace recgame {

ReadResult ParseAi(std::span<const uint8_t> header, AiSection* section) {
  ByteReader reader(header);
  uint32_t aiFlag = 0;
  if (!reader.Skip(kBytesBeforeAiFlag) || !reader.ReadU32(&aiFlag) || aiFlag == 0) return ReadResult::kNoAiScript;
  if (!ReadStringTable(reader, &section->strings) || !reader.Skip(kBytesBeforeAiBlock)) return ReadResult::kNoAiScript;

  // One block per computer player, back to back; the first slot that is no whole block ends them.
  std::vector<std::vector<AiRule>> scripts;
  for (std::vector<AiRule> rules; scripts.size() < kMaxAiBlocks && ReadAiBlock(reader, &rules); rules.clear()) {
    scripts.push_back(std::move(rules));
  }
  if (scripts.empty()) return ReadResult::kNoAiScript;
  section->scripts = std::move(scripts);
  return ReadResult::kOk;
}

}  // namespace recgame
