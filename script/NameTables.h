#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "script/TextBuffer.h"

namespace script {

// The keywords of the script language that a parameter stores as a number. A value without a
// keyword is written as its signed decimal text, so every stored value still reads back as a valid
// token, and no value makes a lookup read outside its table.

// One keyword and the value that stands for it.
struct NamedId {
  int32_t id;
  std::string_view name;
};

// Tables by id, each sorted by id with every id once, for binary search.
extern const std::span<const NamedId> ObjectNames;  // units, buildings and unit lines
extern const std::span<const NamedId> TechNames;    // researches, the ages among them
extern const std::span<const NamedId> FullTechNames;  // every research that has a keyword
extern const std::span<const NamedId> AgeNames;
extern const std::span<const NamedId> SnNames;      // strategic numbers
extern const std::span<const NamedId> PlayerNames;  // player selectors; plain player numbers have no name

// Which names research parameters are written with: those of TechNames, or of FullTechNames. The
// first is the default; the second names far more of what real scripts research.
enum class NameSet : uint8_t { kStandard, kFull };

constexpr bool IsSortedById(std::span<const NamedId> table) {
  for (size_t i = 1; i < table.size(); ++i) {
    if (table[i - 1].id >= table[i].id) return false;
  }
  return true;
}

// The name of `id` in the table, or its signed decimal text, appended.
void AppendNameOrNumber(TextBuffer& text, std::span<const NamedId> table, int32_t id);

// Operand tables indexed by a code from 0. The last entry of each is an ordinary entry whose text
// is empty: that code writes nothing between the blanks of its template.
inline constexpr std::array<std::string_view, 7> RelOpNames = {"<", "<=", ">", ">=", "==", "!=", ""};
inline constexpr std::array<std::string_view, 4> ResourceNames = {"food", "wood", "stone", ""};

// The entry of the table at `code`, or the code's signed decimal text when it lies outside, appended.
void AppendEntryOrNumber(TextBuffer& text, std::span<const std::string_view> table, int32_t code);

// The lookups by parameter value: the keyword, or the value's signed decimal text when it has none.

std::string GetObjectName(int32_t id);
std::string GetTechName(int32_t id);
std::string GetAgeName(int32_t id);
std::string GetSnName(int32_t id);
std::string GetPlayerName(int32_t id);
// A copy of a string-table entry, as stored; empty for an index outside the table.
std::string GetStringParam(std::span<const std::string> strings, int32_t index);

}  // namespace script
