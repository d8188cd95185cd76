#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "extraction/AiScript.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using testkit::Fact;
using testkit::Operator;
using testkit::RuleSpec;

// Stand-ins for element texts: the layout, not the wording, is under test here.
const recgame::AiElement kA = Fact(2, 1);
const recgame::AiElement kB = Fact(2, 2);
const recgame::AiElement kC = Fact(2, 3);
const recgame::AiElement kX = testkit::Action(59, 9);
const recgame::AiElement kUnknown = testkit::Element(9, 1);
const recgame::AiElement kAnd = Operator(testkit::kAnd);
const recgame::AiElement kOr = Operator(testkit::kOr);
const recgame::AiElement kNot = Operator(testkit::kNot);

// Replaces {A}, {B}, {C}, {X} and {U} by the texts of their elements.
std::string Expand(const extraction::CAiScript& script, std::string layout) {
  const std::map<std::string, recgame::AiElement> names = {
      {"{A}", kA}, {"{B}", kB}, {"{C}", kC}, {"{X}", kX}, {"{U}", kUnknown}};
  for (const auto& [token, element] : names) {
    for (size_t at = layout.find(token); at != std::string::npos; at = layout.find(token)) {
      layout.replace(at, token.size(), script.FormatElement(element));
    }
  }
  return layout;
}

// A rule whose element count is the number of slots given.
RuleSpec Rule(int8_t firstAction, std::vector<recgame::AiElement> slots) {
  const auto count = static_cast<int8_t>(slots.size());
  return RuleSpec{firstAction, count, std::move(slots)};
}

std::vector<recgame::AiElement> Join(std::initializer_list<std::vector<recgame::AiElement>> parts) {
  std::vector<recgame::AiElement> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct LayoutCase : testkit::NamedCase {
  std::vector<RuleSpec> rules;
  std::string expected;  // with LF line ends; the file holds CR LF
};

class RuleLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(RuleLayout, IsWrittenExactly) {
  const auto script = testkit::LoadSection({.rules = GetParam().rules});
  EXPECT_EQ(testkit::WritePerText(*script), testkit::Crlf(Expand(*script, GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, RuleLayout,
    testing::Values(
        LayoutCase{"And", {Rule(3, {kAnd, kA, kB, kX})}, "(defrule\n\t(and\n\t\t{A}\n\t\t{B}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"Not", {Rule(2, {kNot, kA, kX})}, "(defrule\n\t(not{A})\n=>\n\t{X}\n)\n"},
        LayoutCase{"OrOfAndAndFact",
                   {Rule(5, {kOr, kAnd, kA, kB, kC, kX})},
                   "(defrule\n\t(or\n\t\t(and\n\t\t\t{A}\n\t\t\t{B}\n\t\t)\n\t\t{C}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"NoOperators", {Rule(2, {kA, kB, kX})}, "(defrule\n\t{A}\n\t{B}\n=>\n\t{X}\n)\n"}),
    testkit::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Nesting, RuleLayout,
    testing::Values(
        // The operand of "not" is written inline up to the first closing, which ends the line.
        LayoutCase{"NotOfAnOperator",
                   {Rule(4, {kNot, kAnd, kA, kB, kX})},
                   "(defrule\n\t(not\t\t(and\n{A}{B})\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"NotInsideAnd",
                   {Rule(4, {kAnd, kNot, kA, kB, kX})},
                   "(defrule\n\t(and\n\t\t(not{A})\n\t\t{B}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"OperatorOutsideTheTableTakesTwoOperands",
                   {Rule(3, {Operator(7), kA, kB, kX})},
                   "(defrule\n\t(07\n\t\t{A}\n\t\t{B}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"UnknownKindIsAnOperand",
                   {Rule(3, {kAnd, kUnknown, kA, kX})},
                   "(defrule\n\t(and\n\t\t{U}\n\t\t{A}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"UnclosedGroupsStayOpen", {Rule(9, {kAnd, kOr, kA})}, "(defrule\n\t(and\n\t\t(or\n\t\t\t{A}\n)\n"},
        LayoutCase{"UnclosedNot", {Rule(9, {kNot})}, "(defrule\n\t(not)\n"},
        LayoutCase{"EachRuleStartsAtTheTop",
                   {Rule(9, {kAnd, kA}), Rule(9, {kNot}), Rule(1, {kA, kX})},
                   "(defrule\n\t(and\n\t\t{A}\n)\n(defrule\n\t(not)\n(defrule\n\t{A}\n=>\n\t{X}\n)\n"},
        // At the deepest depth an operator opens nothing and is written like a fact.
        LayoutCase{"OperatorAtTheDeepestDepth",
                   {Rule(15, Join({std::vector(8, kAnd), std::vector(7, kA), {kX}}))},
                   "(defrule\n\t(and\n\t\t(and\n\t\t\t(and\n\t\t\t\t(and\n\t\t\t\t\t(and\n\t\t\t\t\t\t(and\n"
                   "\t\t\t\t\t\t\t(and\n\t\t\t\t\t\t\t\t(and\n\t\t\t\t\t\t\t\t{A}\n\t\t\t\t\t\t\t)\n"
                   "\t\t\t\t\t\t\t{A}\n\t\t\t\t\t\t)\n\t\t\t\t\t\t{A}\n\t\t\t\t\t)\n\t\t\t\t\t{A}\n\t\t\t\t)\n"
                   "\t\t\t\t{A}\n\t\t\t)\n\t\t\t{A}\n\t\t)\n\t\t{A}\n\t)\n=>\n\t{X}\n)\n"},
        LayoutCase{"NotAtTheDeepestDepth",
                   {Rule(14, Join({std::vector(6, kAnd), {kNot, kNot}, std::vector(6, kA), {kX}}))},
                   "(defrule\n\t(and\n\t\t(and\n\t\t\t(and\n\t\t\t\t(and\n\t\t\t\t\t(and\n\t\t\t\t\t\t(and\n"
                   "\t\t\t\t\t\t\t(not(not)\n\t\t\t\t\t\t\t{A}\n\t\t\t\t\t\t)\n\t\t\t\t\t\t{A}\n\t\t\t\t\t)\n"
                   "\t\t\t\t\t{A}\n\t\t\t\t)\n\t\t\t\t{A}\n\t\t\t)\n\t\t\t{A}\n\t\t)\n\t\t{A}\n\t)\n=>\n\t{X}\n)\n"}),
    testkit::CaseName());

std::string Lines(int count, const std::string& line) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += line;
  return lines;
}

const std::vector<recgame::AiElement> kSixteenSlots = Join({std::vector(15, kA), {kX}});

INSTANTIATE_TEST_SUITE_P(
    Counts, RuleLayout,
    testing::Values(
        LayoutCase{"NoRules", {}, ""},
        LayoutCase{"ElementCountZero", {RuleSpec{0, 0, {kA, kX}}}, "(defrule\n)\n"},
        LayoutCase{"ElementCountNegative", {RuleSpec{0, -128, kSixteenSlots}}, "(defrule\n)\n"},
        LayoutCase{"FirstActionZero", {Rule(0, {kX})}, "(defrule\n=>\n\t{X}\n)\n"},
        LayoutCase{"FirstActionNegative", {Rule(-1, {kA, kX})}, "(defrule\n\t{A}\n\t{X}\n)\n"},
        LayoutCase{"FirstActionAtTheCount", {Rule(2, {kA, kX})}, "(defrule\n\t{A}\n\t{X}\n)\n"},
        LayoutCase{"SixteenElements", {Rule(15, kSixteenSlots)},
                   "(defrule\n" + Lines(15, "\t{A}\n") + "=>\n\t{X}\n)\n"},
        // Slots beyond the 16 of a rule do not exist, whatever the count says.
        LayoutCase{"CountAboveSixteen", {RuleSpec{16, 17, kSixteenSlots}},
                   "(defrule\n" + Lines(15, "\t{A}\n") + "\t{X}\n)\n"}),
    testkit::CaseName());

}  // namespace
