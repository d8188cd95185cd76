#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extraction/AiScript.h"
#include "script/ElementTextCache.h"
#include "tests/testkit/RecGameBuilder.h"

// Exact texts of elements whose operands are easy to get wrong: templates that render the same
// value differently, empty and unknown codes, ids no table covers, and strings that hold characters
// with a meaning elsewhere.
namespace {

using testkit::Action;
using testkit::Element;
using testkit::Fact;

const std::vector<std::string> kStrings = {"hello", "", "say \"gg\"", "100% %s %d", "C:\\AI\\", "tab\there"};

struct TextCase {
  recgame::AiElement element;
  const char* text;
};

class ElementText : public testing::TestWithParam<TextCase> {};

TEST_P(ElementText, IsExact) { EXPECT_EQ(script::FormatElement(GetParam().element, kStrings), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Elements, ElementText,
    testing::Values(
        // The parameters of an operator never matter; ids outside the table keep their number.
        TextCase{Element(2, 0, 1, 2, 3, 4), "(not"}, TextCase{Element(2, 3, 9, 9, 9, 9), "(or"},
        TextCase{Element(2, 7, 1, 2, 3, 4), "(07"},
        TextCase{Element(2, -2), "(FFFFFFFE"},
        TextCase{Element(2, SHRT_MIN), "(FFFF8000"},
        // Kinds outside the three and ids that no table covers; the latter keep the id and all four
        // parameters in the text.
        TextCase{Element(0, 1, 2, 3, 4, 5), "unknown"}, TextCase{Element(4, 0), "unknown"},
        TextCase{Element(-1, -1, -1), "unknown"},
        TextCase{Element(1, 59, 1, 2, 3, 4), "(3B 1 2 3 4);not supported"},
        TextCase{Element(1, -1, 0, -5, 0, 0), "(FFFFFFFF 0 -5 0 0);not supported"},
        TextCase{Element(1, 256, INT_MIN, INT_MAX, 0, -1), "(100 -2147483648 2147483647 0 -1);not supported"},
        TextCase{Element(3, 2, 1, 2, 3, 4), "(02 1 2 3 4);not supported"},
        TextCase{Element(3, 110), "(6E 0 0 0 0);not supported"},
        // Templates read only their own parameters; code tables have an empty last entry, and codes
        // outside them print as numbers.
        TextCase{Fact(0, 1, 2, 3, 4), "(true)"}, TextCase{Action(55, 32, 7, 8, 9), "(taunt 32)"},
        TextCase{Fact(6, 6, 5), "(building-count  5)"},
        TextCase{Fact(6, 7, 5), "(building-count 7 5)"},
        TextCase{Fact(6, INT_MIN, 5), "(building-count -2147483648 5)"},
        TextCase{Action(42, -1), "(sell-commodity -1)"},
        TextCase{Fact(36, 3, 6, 9), "(commodity-selling-price   9)"},
        TextCase{Fact(18, 2, -399), "(can-build-wall-with-escrow 2 stone-wall-line)"},
        TextCase{Action(6, 2, 117), "(build-wall 2 stone-wall)"},
        // Numbers stay numbers where the template says so, even when a name table knows the value; each
        // kind of name comes from its own table.
        TextCase{Fact(37, 4, 102), "(current-age == 102)"},
        TextCase{Fact(38, 3, 102), "(current-age-time >= castle-age)"},
        TextCase{Fact(21, 101), "(can-research feudal-age)"}, TextCase{Fact(21, 104), "(can-research 104)"},
        TextCase{Fact(96, 198, 2, 3), "(strategic-number sn-percentage-explore-exterminators > 3)"},
        TextCase{Fact(96, 199, 2, 3), "(strategic-number 199 > 3)"},
        TextCase{Fact(62, -101), "(player-in-game any-ally)"},
        TextCase{Action(58, -203, 100, 0), "(tribute-to-player every-enemy 100 0)"},
        TextCase{Action(57, INT_MIN), "(train -2147483648)"},
        // Strings go in byte for byte; an index outside the table gives empty quotes.
        TextCase{Action(22, -101, 0), "(chat-to-player any-ally \"hello\")"},
        TextCase{Action(37, 2), "(log \"say \"gg\"\")"},
        TextCase{Action(9, 3), "(chat-local \"100% %s %d\")"},
        TextCase{Action(43, 4), "(set-author-name \"C:\\AI\\\")"},
        TextCase{Action(16, 5), "(chat-to-allies \"tab\there\")"},
        TextCase{Action(19, 6), "(chat-to-enemies \"\")"}, TextCase{Action(12, -1), "(chat-local-to-self \"\")"}));

// Each distinct element keeps its own text, among thousands that share their parameters or their
// kind and id, until the cache is full.
TEST(ElementTextCache, GivesEachElementItsOwnText) {
  std::vector<recgame::AiElement> elements;
  for (int16_t id = 0; id < 60; ++id) {
    for (int32_t p = 0; p < 30; ++p) elements.push_back(Action(id, p, p + 1, p + 2, p + 3));
    for (int32_t p = 0; p < 30; ++p) elements.push_back(Fact(id, p, p + 1, p + 2, p + 3));
  }
  // Parameters that differ by 2^31 alone, in each place.
  for (const recgame::AiElement& element :
       {Fact(110, 0, 0, 0, 0), Fact(110, INT32_MIN, 0, 0, 0), Fact(110, 0, INT32_MIN, 0, 0),
        Fact(110, 0, 0, INT32_MIN, 0), Fact(110, 0, 0, 0, INT32_MIN)}) {
    elements.insert(elements.begin(), element);
  }
  script::ElementTextCache cache;
  for (const recgame::AiElement& element : elements) cache.Insert(element, script::FormatElement(element, kStrings));
  size_t found = 0;
  for (const recgame::AiElement& element : elements) {
    if (const std::optional<std::string_view> text = cache.Find(element)) {
      EXPECT_EQ(*text, script::FormatElement(element, kStrings));
      ++found;
    }
  }
  EXPECT_GE(found, elements.size() / 2);
}

}  // namespace
