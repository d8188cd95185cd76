#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "script/ElementFormats.h"
#include "tests/testkit/CaseName.h"

// The shape of the fact and action templates: a slip in copying a row shows up here as a
// placeholder without its rendering, a rendering at the wrong place or a keyword given twice.
namespace {

// The placeholders of a template, left to right: "%d", "%s", or "\"%s\"" for a quoted string.
std::vector<std::string> Placeholders(std::string_view text) {
  std::vector<std::string> placeholders;
  for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
    const bool quoted = at > 0 && text[at - 1] == '"';
    placeholders.push_back(std::string(text.substr(quoted ? at - 1 : at, quoted ? 4 : 2)));
  }
  return placeholders;
}

std::string Keyword(std::string_view text) {
  return std::string(text.substr(1, text.find_first_of(" )") - 1));
}

struct TableCase : testkit::NamedCase {
  std::span<const ElementFormat> rows;
  std::vector<int16_t> withoutTemplate;
  std::vector<int> rowsByPlaceholderCount;  // rows with 0, 1, 2, ... placeholders
};

class Templates : public testing::TestWithParam<TableCase> {};

TEST_P(Templates, OnlyTheExpectedIdsLackATemplate) {
  std::vector<int16_t> without;
  for (const ElementFormat& row : GetParam().rows) {
    if (!row.HasTemplate()) without.push_back(row.id);
  }
  EXPECT_EQ(without, GetParam().withoutTemplate);
}

// "%d" takes a decimal, a quoted "%s" a string and a bare "%s" a name; positions after the last
// placeholder have no rendering.
bool Fits(const std::string& placeholder, Rendering rendering) {
  if (placeholder == "%d") return rendering == Rendering::kDecimal;
  if (placeholder == "\"%s\"") return rendering == Rendering::kString;
  if (placeholder == "%s") {
    return rendering != Rendering::kNone && rendering != Rendering::kDecimal && rendering != Rendering::kString;
  }
  return false;
}

TEST_P(Templates, EachPlaceholderHasItsRendering) {
  for (const ElementFormat& row : GetParam().rows) {
    if (!row.HasTemplate()) continue;
    const std::vector<std::string> placeholders = Placeholders(row.text);
    ASSERT_LE(placeholders.size(), kMaxOperands) << row.text;
    for (size_t n = 0; n < kMaxOperands; ++n) {
      const Rendering rendering = row.operands[n];
      if (n < placeholders.size()) {
        EXPECT_TRUE(Fits(placeholders[n], rendering)) << row.text << " operand " << n + 1;
      } else {
        EXPECT_EQ(rendering, Rendering::kNone) << row.text << " operand " << n + 1;
      }
    }
  }
}

TEST_P(Templates, PlaceholderCountsAreAsStated) {
  std::vector<int> counts(GetParam().rowsByPlaceholderCount.size());
  for (const ElementFormat& row : GetParam().rows) {
    if (row.HasTemplate()) ++counts.at(Placeholders(row.text).size());
  }
  EXPECT_EQ(counts, GetParam().rowsByPlaceholderCount);
}

// One parenthesised keyword, each operand after one blank; no keyword twice.
TEST_P(Templates, TextsAreWellFormed) {
  const std::regex form(R"(\([a-z]+(-[a-z]+)*( (%d|%s|"%s"))*\))");
  std::set<std::string> keywords;
  for (const ElementFormat& row : GetParam().rows) {
    if (!row.HasTemplate()) continue;
    EXPECT_TRUE(std::regex_match(std::string(row.text), form)) << row.text;
    EXPECT_TRUE(keywords.insert(Keyword(row.text)).second) << "keyword twice: " << row.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, Templates,
    testing::Values(TableCase{"Facts",
                              FactFormats,
                              {2, 110},
                              {13, 30, 39, 22, 7}},
                    TableCase{"Actions",
                              ActionFormats,
                              {},
                              {5, 33, 19, 2}}),
    testkit::CaseName());

}  // namespace
