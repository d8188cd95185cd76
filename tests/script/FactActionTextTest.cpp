#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "script/AiScript.h"
#include "tests/testkit/RecGameBuilder.h"

// Exact texts of facts and actions whose operands are easy to get wrong: like templates that render
// the same value differently, empty and unknown operand codes, and strings that hold characters
// with a meaning elsewhere.
namespace {

using testkit::Action;
using testkit::Fact;

// The string table of every case, by index.
const std::vector<std::string> kStrings = {"hello", "", "say \"gg\"", "100% %s %d", "C:\\AI\\", "tab\there"};

struct TextCase {
  AiElement element;
  const char* text;

  friend std::ostream& operator<<(std::ostream& out, const TextCase& c) {
    return out << "kind " << static_cast<int32_t>(c.element.kind) << " id " << c.element.id << ": " << c.text;
  }
};

const CAiScript& Script() {
  static const std::unique_ptr<CAiScript> script = [] {
    testkit::AiSectionSpec section;
    section.strings = kStrings;
    return testkit::LoadSection(section);
  }();
  return *script;
}

class FactActionText : public testing::TestWithParam<TextCase> {};

TEST_P(FactActionText, IsExact) { EXPECT_EQ(Script().FormatElement(GetParam().element), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    ParametersIgnored, FactActionText,
    testing::Values(TextCase{Fact(0, 1, 2, 3, 4), "(true)"}, TextCase{Fact(1, -1, -1, -1, -1), "(false)"},
                    TextCase{Fact(24, 5, 6, 7, 8), "(can-spy)"}, TextCase{Fact(112, 1), "(hold-relics)"},
                    TextCase{Action(2, 1, 2, 3, 4), "(attack-now)"}, TextCase{Action(30, 9), "(disable-self)"},
                    TextCase{Action(32, 0, 9), "(do-nothing)"}, TextCase{Action(41, 0, 0, 9), "(resign)"},
                    TextCase{Action(54, 0, 0, 0, 9), "(spy)"},
                    // Only the first parameter of the one-number taunt counts.
                    TextCase{Action(55, 32, 7, 8, 9), "(taunt 32)"}));

// The operator and commodity codes past the last name have an empty text; codes outside the
// tables print as numbers.
INSTANTIATE_TEST_SUITE_P(
    OperatorsAndCommodities, FactActionText,
    testing::Values(TextCase{Fact(6, 3, 5), "(building-count >= 5)"}, TextCase{Fact(6, 6, 5), "(building-count  5)"},
                    TextCase{Fact(6, 7, 5), "(building-count 7 5)"}, TextCase{Fact(6, -1, 5), "(building-count -1 5)"},
                    TextCase{Fact(6, INT_MIN, 5), "(building-count -2147483648 5)"},
                    TextCase{Fact(20, 1), "(can-buy-commodity wood)"}, TextCase{Fact(20, 3), "(can-buy-commodity )"},
                    TextCase{Fact(23, 4), "(can-sell-commodity 4)"},
                    TextCase{Fact(35, 0, 4, 50), "(commodity-buying-price food == 50)"},
                    TextCase{Fact(36, 3, 6, 9), "(commodity-selling-price   9)"},
                    TextCase{Action(7, 1), "(buy-commodity wood)"}, TextCase{Action(7, 3), "(buy-commodity )"},
                    TextCase{Action(42, -1), "(sell-commodity -1)"}, TextCase{Action(42, 2), "(sell-commodity stone)"}));

// Numbers stay numbers where the template says so, even when a name table knows the value.
INSTANTIATE_TEST_SUITE_P(
    NumbersAndNames, FactActionText,
    testing::Values(TextCase{Fact(53, 1, -1), "(goal 1 -1)"}, TextCase{Fact(37, 4, 102), "(current-age == 102)"},
                    TextCase{Fact(38, 3, 102), "(current-age-time >= castle-age)"},
                    TextCase{Fact(38, 3, 60), "(current-age-time >= 60)"},
                    TextCase{Fact(72, 2, 1, 101), "(players-current-age-time 2 <= 101)"},
                    TextCase{Fact(21, 101), "(can-research feudal-age)"}, TextCase{Fact(21, 104), "(can-research 104)"},
                    TextCase{Fact(88, 1), "(resource-found 1)"},
                    TextCase{Fact(96, 198, 2, 3), "(strategic-number sn-percentage-explore-exterminators > 3)"},
                    TextCase{Fact(96, 199, 2, 3), "(strategic-number 199 > 3)"},
                    TextCase{Fact(62, -101), "(player-in-game any-ally)"},
                    TextCase{Fact(62, 101), "(player-in-game this-any-ally)"}, TextCase{Fact(62, 2), "(player-in-game 2)"},
                    TextCase{Fact(63, 101), "(player-number 101)"},
                    TextCase{Action(58, -203, 100, 0), "(tribute-to-player every-enemy 100 0)"},
                    TextCase{Action(57, 9), "(train 9)"}, TextCase{Action(57, INT_MIN), "(train -2147483648)"}));

// The wall templates take the number first and the wall second.
INSTANTIATE_TEST_SUITE_P(Walls, FactActionText,
                         testing::Values(TextCase{Fact(18, 2, -399), "(can-build-wall-with-escrow 2 stone-wall-line)"},
                                         TextCase{Action(6, 2, 117), "(build-wall 2 stone-wall)"}));

// Strings go in byte for byte; an index outside the table gives empty quotes.
INSTANTIATE_TEST_SUITE_P(
    Strings, FactActionText,
    testing::Values(TextCase{Action(22, -101, 0), "(chat-to-player any-ally \"hello\")"},
                    TextCase{Action(13, 1), "(chat-to-all \"\")"},
                    TextCase{Action(37, 2), "(log \"say \"gg\"\")"},
                    TextCase{Action(9, 3), "(chat-local \"100% %s %d\")"},
                    TextCase{Action(43, 4), "(set-author-name \"C:\\AI\\\")"},
                    TextCase{Action(16, 5), "(chat-to-allies \"tab\there\")"},
                    TextCase{Action(19, 6), "(chat-to-enemies \"\")"}, TextCase{Action(12, -1), "(chat-local-to-self \"\")"},
                    TextCase{Action(44, INT_MAX), "(set-author-email \"\")"}));

}  // namespace
