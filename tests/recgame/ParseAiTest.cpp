#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "recgame/AiSection.h"
#include "extraction/AiScript.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using recgame::ReadResult;
using testkit::Action;
using testkit::AiSectionSpec;
using testkit::BuildHeader;
using testkit::Fact;
using testkit::LoadHeader;
using testkit::MakeRule;
using testkit::RuleSpec;

// A section with something in every part: strings, a nested rule, every field with its sign.
AiSectionSpec FullSection() {
  return {.strings = {"hello", "", "with \"quotes\" and %d"},
          .rules = {
              MakeRule({testkit::Operator(testkit::kAnd), Fact(6, 3, 5), Fact(53, 1, -1)}, {Action(57, 83), Action(30)}),
              MakeRule({testkit::Element(-7, -32768, INT32_MIN, INT32_MAX, -1, 1)}, {Action(13, 2)}),
          }};
}

// The store holds the first `count` rules of the section; slots not given are zeros.
void ExpectStoreHolds(const extraction::CAiScript& script, const AiSectionSpec& section, size_t count) {
  ASSERT_EQ(script.Rules().size(), count);
  for (size_t r = 0; r < count; ++r) {
    recgame::AiRule rule{section.rules[r].elementCount, section.rules[r].firstAction, {}};
    std::ranges::copy(section.rules[r].slots, rule.elements.begin());
    EXPECT_TRUE(script.Rules()[r] == rule) << "rule " << r;
  }
}

struct LayoutCase : testkit::NamedCase {
  AiSectionSpec section;
  ReadResult expected;
  std::vector<std::string> strings;  // the string table afterwards
  size_t rules;                      // the number of rules afterwards
};

class SectionLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(SectionLayout, GivesItsCodeStringsAndRules) {
  const LayoutCase& c = GetParam();
  extraction::CAiScript script;
  LoadHeader(script, BuildHeader(c.section));
  EXPECT_EQ(script.ParseAi(), c.expected);
  EXPECT_EQ(script.StringTable(), c.strings);
  ExpectStoreHolds(script, c.section, c.rules);
}

AiSectionSpec With(void (*change)(AiSectionSpec&)) {
  AiSectionSpec section = FullSection();
  change(section);
  return section;
}

const std::vector<std::string> kFullStrings = FullSection().strings;

RuleSpec EverySlot() {
  RuleSpec rule{2, 5, {}};
  for (int16_t slot = 0; slot < recgame::kElementSlots; ++slot) rule.slots.push_back(Fact(slot, slot, -slot, 7, 8));
  return rule;
}

INSTANTIATE_TEST_SUITE_P(
    Sections, SectionLayout,
    testing::Values(
        LayoutCase{"Full", FullSection(), ReadResult::kOk, kFullStrings, 2},
        LayoutCase{"AiFlagZero", With([](AiSectionSpec& s) { s.aiFlag = 0; }), ReadResult::kNoAiScript, {}, 0},
        LayoutCase{"AiFlagAnyNonzero", With([](AiSectionSpec& s) { s.aiFlag = 0x80000000; }), ReadResult::kOk,
                   kFullStrings, 2},
        LayoutCase{"NoStrings", With([](AiSectionSpec& s) { s.strings.clear(); }), ReadResult::kOk, {}, 2},
        LayoutCase{"ZeroByteCutsAString",
                   With([](AiSectionSpec& s) { s.strings = {std::string("ab\0cd", 5), std::string("\0x", 2)}; }),
                   ReadResult::kOk, {"ab", ""}, 2},
        // A string's length that runs beyond the header: there is no string table, nor a section.
        LayoutCase{"StringCountBeyondTheStrings", With([](AiSectionSpec& s) { s.stringCount = 4; }),
                   ReadResult::kNoAiScript, {}, 0},
        LayoutCase{"NegativeStringCount", With([](AiSectionSpec& s) { s.stringCount = -1; }), ReadResult::kNoAiScript,
                   {}, 0},
        LayoutCase{"MarkerZero", With([](AiSectionSpec& s) { s.blockMarker = 0; }), ReadResult::kNoAiScript,
                   kFullStrings, 0},
        LayoutCase{"MarkerTwo", With([](AiSectionSpec& s) { s.blockMarker = 2; }), ReadResult::kNoAiScript,
                   kFullStrings, 0},
        LayoutCase{"NoRules", With([](AiSectionSpec& s) { s.rules.clear(); }), ReadResult::kOk, kFullStrings, 0},
        LayoutCase{"NegativeRuleCount", With([](AiSectionSpec& s) { s.ruleCount = -1; }), ReadResult::kOk,
                   kFullStrings, 0},
        // A count beyond the header's rules: the whole ones are read, and the section is broken.
        LayoutCase{"RuleCountBeyondTheHeader", With([](AiSectionSpec& s) { s.ruleCount = 3; }), ReadResult::kBroken,
                   kFullStrings, 2},
        // Slots beyond a rule's element count are read too.
        LayoutCase{"EverySlotWhateverTheCount", With([](AiSectionSpec& s) { s.rules = {EverySlot()}; }),
                   ReadResult::kOk, kFullStrings, 1},
        LayoutCase{"Thousands",
                   With([](AiSectionSpec& s) { s.rules.assign(6000, MakeRule({Fact(6, 3, 4)}, {Action(57, 83)})); }),
                   ReadResult::kOk, kFullStrings, 6000}),
    testkit::CaseName());

// A block after the first: its rules, its stored rule count and its marker.
struct BlockSpec {
  int rules;
  std::optional<int16_t> ruleCount = {};
  uint32_t marker = 1;
};

struct BlocksCase : testkit::NamedCase {
  std::vector<BlockSpec> more;
  std::vector<size_t> ruleCounts;  // of the scripts read, the first block's included
  ReadResult result = ReadResult::kOk;
};

class AiBlocks : public testing::TestWithParam<BlocksCase> {};

// One block per computer player, back to back after the strings; the first slot that is no whole
// block ends them, and no more than eight are read.
TEST_P(AiBlocks, EachWholeBlockIsAScriptInFileOrder) {
  AiSectionSpec section = FullSection();
  int16_t block = 1;
  for (const BlockSpec& more : GetParam().more) {
    std::vector<RuleSpec> rules(static_cast<size_t>(more.rules), MakeRule({Fact(block)}, {Action(30)}));
    const std::vector<uint8_t> bytes = testkit::BuildAiBlock(rules, more.ruleCount, more.marker);
    section.trailer.insert(section.trailer.end(), bytes.begin(), bytes.end());
    ++block;
  }
  recgame::AiSection parsed;
  const recgame::RecGameHeader header = testkit::HeaderHolding(BuildHeader(section));
  ASSERT_EQ(recgame::ParseAi(header, &parsed), GetParam().result);
  // Salvaging takes a script cut short as it is.
  recgame::AiSection salvaged;
  EXPECT_EQ(recgame::ParseAi(header, &salvaged, true), ReadResult::kOk);
  EXPECT_EQ(salvaged.scripts.size(), parsed.scripts.size());
  ASSERT_EQ(parsed.scripts.size(), GetParam().ruleCounts.size());
  for (size_t n = 0; n < parsed.scripts.size(); ++n) {
    EXPECT_EQ(parsed.scripts[n].size(), GetParam().ruleCounts[n]) << "script " << n + 1;
    if (n > 0 && !parsed.scripts[n].empty()) {
      EXPECT_EQ(static_cast<size_t>(parsed.scripts[n][0].elements[0].id), n) << "script " << n + 1;
    }
  }
}

std::vector<BlockSpec> Blocks(int count) {
  std::vector<BlockSpec> blocks;
  for (int n = 1; n <= count; ++n) blocks.push_back({n});
  return blocks;
}

INSTANTIATE_TEST_SUITE_P(
    Sections, AiBlocks,
    testing::Values(BlocksCase{"One", {}, {2}}, BlocksCase{"Eight", Blocks(7), {2, 1, 2, 3, 4, 5, 6, 7}},
                    BlocksCase{"NinthIsNotRead", Blocks(8), {2, 1, 2, 3, 4, 5, 6, 7}},
                    BlocksCase{"EmptyBlock", {{0}, {2}}, {2, 0, 2}},
                    BlocksCase{"MarkerZeroEnds", {{1}, {1, {}, 0}, {1}}, {2, 1}},
                    BlocksCase{"RulesPastTheHeaderEnd", {{1}, {2, 3}}, {2, 1, 2}, ReadResult::kBroken},
                    BlocksCase{"NegativeRuleCount", {{0, -5}, {1}}, {2, 0, 1}}),
    testkit::CaseName());

// Reading stays inside the header, however short it is: cut before the first block's rules, there is
// no script; cut among them, a script of the whole rules before the cut, and a broken section.
TEST(ParseAi, EveryCutOfTheSectionStaysInside) {
  const std::vector<uint8_t> header = BuildHeader(FullSection());
  const size_t rules = header.size() - 2 * recgame::kRuleRecordSize;
  for (size_t length = 0; length < header.size(); ++length) {
    recgame::AiSection section;
    const ReadResult result = recgame::ParseAi(testkit::HeaderHolding(std::span(header).first(length)), &section);
    EXPECT_EQ(result, length < rules ? ReadResult::kNoAiScript : ReadResult::kBroken) << "cut to " << length;
    if (length >= rules) {
      EXPECT_EQ(section.scripts.at(0).size(), (length - rules) / recgame::kRuleRecordSize);
    }
  }
}

}  // namespace
