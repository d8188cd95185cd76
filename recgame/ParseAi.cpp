#include <algorithm>
#include <string>

#include "recgame/AiSection.h"
#include "recgame/ByteReader.h"

namespace recgame {

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

// One AI block: its 16-byte header with the marker and the rule count, then as many of its rule records
// as the header holds, which the count may claim more of; a negative count holds no rules.
bool ReadAiBlock(ByteReader& reader, std::span<const uint8_t>* records, int16_t* ruleCount) {
  uint32_t marker = 0;
  if (!reader.ReadU32(&marker) || marker != kAiBlockMarker || !reader.Skip(kBytesBeforeRuleCount) ||
      !reader.ReadI16(ruleCount) || !reader.Skip(kBytesAfterRuleCount)) {
    return false;
  }
  const size_t claimed = *ruleCount > 0 ? static_cast<size_t>(*ruleCount) : 0;
  return reader.ReadBytes(std::min(claimed, reader.Remaining() / kRuleRecordSize) * kRuleRecordSize, records);
}

}  // namespace

ReadResult ParseAi(const RecGameHeader& header, AiSection* section, bool salvage) {
  ByteReader reader(header.Bytes());
  uint32_t aiFlag = 0;
  if (!reader.Skip(kBytesBeforeAiFlag) || !reader.ReadU32(&aiFlag) || aiFlag == 0) return ReadResult::kNoAiScript;
  if (!ReadStringTable(reader, &section->strings) || !reader.Skip(kBytesBeforeAiBlock)) return ReadResult::kNoAiScript;

  // One block per computer player, back to back; the first slot that is no block ends them, and so
  // does a block cut short, since nothing can follow it.
  std::vector<AiRules> scripts;
  std::span<const uint8_t> records;
  int16_t ruleCount = 0;
  while (scripts.size() < kMaxAiBlocks && ReadAiBlock(reader, &records, &ruleCount)) {
    scripts.emplace_back(header.SharedBytes(), records, ruleCount);
    if (scripts.back().IsCutShort()) break;
  }
  if (scripts.empty()) return ReadResult::kNoAiScript;
  const bool cutShort = scripts.back().IsCutShort();
  section->scripts = std::move(scripts);
  section->end = static_cast<size_t>(records.data() + records.size() - header.Bytes().data());
  return cutShort && !salvage ? ReadResult::kBroken : ReadResult::kOk;
}

}  // namespace recgame
