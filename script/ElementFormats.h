#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "recgame/AiRule.h"
#include "script/NameTables.h"

// The templates by which facts and actions are written: one row per id, the element's text with a
// placeholder for each operand ("%d" for a number, "%s" for a name or a string), and how the
// parameter behind each placeholder is turned into text. The n-th placeholder takes the n-th
// parameter, so a row with k placeholders reads p1 to pk and ignores the rest.

// How one parameter is written in place of its placeholder.
enum class Rendering : uint8_t {
  kNone,             // no placeholder at this position
  kDecimal,          // the number itself ("%d")
  kRelOp,            // a relational operator, from RelOpNames
  kResource,         // a commodity, from ResourceNames
  kObject,           // a unit, building or unit line
  kResearch,         // a research
  kAge,              // an age
  kStrategicNumber,  // a strategic number
  kPlayer,           // a player number or player selector
  kString,           // an entry of the script's string table
};

constexpr size_t kMaxOperands = 4;

struct ElementFormat {
  int16_t id;
  std::string_view text;  // empty when the id has no template
  std::array<Rendering, kMaxOperands> operands;

  bool HasTemplate() const { return !text.empty(); }
};

// Rows are looked up by index, so row i must be the row of id i.
template <size_t N>
constexpr bool RowsFollowIds(const std::array<ElementFormat, N>& table) {
  for (size_t row = 0; row < N; ++row) {
    if (table[row].id != static_cast<int16_t>(row)) return false;
  }
  return true;
}

// Facts by id, 0 to 112; ids 2 and 110 have no template.
constexpr size_t kFactIds = 113;
extern const std::array<ElementFormat, kFactIds> FactFormats;

// Actions by id, 0 to 58.
constexpr size_t kActionIds = 59;
extern const std::array<ElementFormat, kActionIds> ActionFormats;

// The element's filled template from the table, or the not-supported text when the table has none
// for its id, appended. Strings come from `strings`, research names from the set `names`.
void AppendFromTable(std::string& text, std::span<const ElementFormat> table, const AiElement& element,
                     std::span<const std::string> strings, NameSet names);

// The length of the string-table text that an element's text quotes.
uint64_t QuotedTextLength(const AiElement& element, std::span<const std::string> strings);
