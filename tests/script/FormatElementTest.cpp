#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

#include "script/AiScript.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using testkit::Element;

struct TextCase {
  AiElement element;
  const char* text;

  friend std::ostream& operator<<(std::ostream& out, const TextCase& c) {
    return out << "kind " << static_cast<int32_t>(c.element.kind) << " id " << c.element.id << ": " << c.text;
  }
};

class ElementText : public testing::TestWithParam<TextCase> {};

TEST_P(ElementText, IsExact) {
  const CAiScript script;
  EXPECT_EQ(script.FormatElement(GetParam().element), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    LogicalOperators, ElementText,
    testing::Values(TextCase{Element(2, 0), "(not"}, TextCase{Element(2, 1), "(and"}, TextCase{Element(2, 2), "(xor"},
                    TextCase{Element(2, 3, 9, 9, 9, 9), "(or"}, TextCase{Element(2, 4), "(nor"},
                    TextCase{Element(2, 5), "(xnor"}, TextCase{Element(2, 6, -1, -1, -1, -1), "(nand"},
                    TextCase{Element(2, 7, 1, 2, 3, 4), "(07"}, TextCase{Element(2, 26), "(1A"},
                    TextCase{Element(2, -1), "(FFFFFFFF"}, TextCase{Element(2, -2), "(FFFFFFFE"},
                    TextCase{Element(2, SHRT_MIN), "(FFFF8000"}));

INSTANTIATE_TEST_SUITE_P(UnknownKinds, ElementText,
                         testing::Values(TextCase{Element(0, 1, 2, 3, 4, 5), "unknown"},
                                         TextCase{Element(4, 0), "unknown"},
                                         TextCase{Element(-1, -1, -1, -1, -1, -1), "unknown"},
                                         TextCase{Element(INT_MIN, 3), "unknown"},
                                         TextCase{Element(INT_MAX, 3), "unknown"}));

// Ids that no table covers keep the id and all four parameters in the text.
INSTANTIATE_TEST_SUITE_P(
    NotSupported, ElementText,
    testing::Values(TextCase{Element(1, 59, 1, 2, 3, 4), "(3B 1 2 3 4);not supported"},
                    TextCase{Element(1, -1, 0, -5, 0, 0), "(FFFFFFFF 0 -5 0 0);not supported"},
                    TextCase{Element(1, SHRT_MIN), "(FFFF8000 0 0 0 0);not supported"},
                    TextCase{Element(1, 256, INT_MIN, INT_MAX, 0, -1),
                             "(100 -2147483648 2147483647 0 -1);not supported"},
                    TextCase{Element(3, 2, 1, 2, 3, 4), "(02 1 2 3 4);not supported"},
                    TextCase{Element(3, 110, 0, 0, 0, 0), "(6E 0 0 0 0);not supported"},
                    TextCase{Element(3, 113), "(71 0 0 0 0);not supported"},
                    TextCase{Element(3, 255), "(FF 0 0 0 0);not supported"},
                    TextCase{Element(3, 300), "(12C 0 0 0 0);not supported"},
                    TextCase{Element(3, -1, 7), "(FFFFFFFF 7 0 0 0);not supported"}));

}  // namespace
