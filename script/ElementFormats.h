#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <climits>
#include <string>
#include <string_view>

#include "recgame/AiRule.h"
#include "script/CommandNumbering.h"
#include "script/NameTables.h"
#include "script/TextBuffer.h"

namespace script {

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

// Where a placeholder ("%d" or "%s") begins in a template; any other percent sign is plain text.
constexpr bool IsPlaceholderAt(std::string_view text, size_t at) {
  return at + 1 < text.size() && text[at] == '%' && (text[at + 1] == 'd' || text[at + 1] == 's');
}

constexpr size_t kPlaceholderLength = 2;

// One row: the template, the rendering of each operand, and where the placeholders stand, found
// once when the table is compiled rather than each time an element is written.
struct ElementFormat {
  constexpr ElementFormat(int16_t rowId, std::string_view rowText = {},
                          std::array<Rendering, kMaxOperands> rowOperands = {})
      : id(rowId), text(rowText), operands(rowOperands) {
    for (size_t at = 0; at < text.size() && placeholders < kMaxOperands + 1; ++at) {
      if (!IsPlaceholderAt(text, at)) continue;
      if (placeholders < kMaxOperands) placeholderAt[placeholders] = static_cast<uint8_t>(at);
      ++placeholders;
    }
  }

  bool HasTemplate() const { return !text.empty(); }

  int16_t id;
  std::string_view text;  // empty when the id has no template
  std::array<Rendering, kMaxOperands> operands;
  size_t placeholders = 0;
  std::array<uint8_t, kMaxOperands> placeholderAt{};
};

// A "%d" takes a decimal, a quoted "%s" a string and a bare "%s" a name, placeholder by placeholder;
// positions after the last placeholder have no rendering.
constexpr bool PlaceholdersFitRenderings(const ElementFormat& row) {
  if (row.placeholders > kMaxOperands || row.text.size() > UINT8_MAX) return false;
  for (size_t operand = 0; operand < kMaxOperands; ++operand) {
    const Rendering rendering = row.operands[operand];
    if (operand >= row.placeholders) {
      if (rendering != Rendering::kNone) return false;
      continue;
    }
    const size_t at = row.placeholderAt[operand];
    const bool quoted = at > 0 && row.text[at - 1] == '"';
    const bool fits = row.text[at + 1] == 'd' ? rendering == Rendering::kDecimal
                      : quoted                ? rendering == Rendering::kString
                                              : rendering > Rendering::kDecimal && rendering != Rendering::kString;
    if (!fits) return false;
  }
  return true;
}

// Rows are looked up by index, so row i must be the row of id i; and each template's placeholders
// must have their renderings, so that a slip in a row fails the build.
template <size_t N>
constexpr bool RowsAreSound(const std::array<ElementFormat, N>& table) {
  for (size_t row = 0; row < N; ++row) {
    if (table[row].id != static_cast<int16_t>(row) || !PlaceholdersFitRenderings(table[row])) return false;
  }
  return true;
}

// Facts by id, 0 to 112; ids 2 and 110 have no template.
constexpr size_t kFactIds = 113;
extern const std::array<ElementFormat, kFactIds> FactFormats;

// Actions by id, 0 to 58.
constexpr size_t kActionIds = 59;
extern const std::array<ElementFormat, kActionIds> ActionFormats;

// The element's filled template from the table, by its id translated to 1.0c's, appended; the
// not-supported text, with the id as stored, when the numbering gives the id to no row of the table
// or the row has no template. Strings come from `strings`, research names from the set `names`.
void AppendFromTable(TextBuffer& text, std::span<const ElementFormat> table, const recgame::AiElement& element,
                     std::span<const std::string> strings, NameSet names, const CommandNumbering& numbering);

// The length of the string-table text that an element's text quotes.
uint64_t QuotedTextLength(const recgame::AiElement& element, std::span<const std::string> strings,
                          const CommandNumbering& numbering);

}  // namespace script
