#include <string_view>

#include "script/ElementFormats.h"
#include "script/ElementText.h"
#include "script/NameTables.h"

namespace script {

namespace {

const std::string* StringAt(std::span<const std::string> strings, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= strings.size()) return nullptr;
  return &strings[static_cast<size_t>(index)];
}

std::span<const NamedId> ResearchNames(NameSet names) {
  return names == NameSet::kFull ? FullTechNames : TechNames;
}

void AppendOperand(TextBuffer& text, Rendering rendering, int32_t value, std::span<const std::string> strings,
                   NameSet names) {
  switch (rendering) {
    case Rendering::kRelOp:
      return AppendEntryOrNumber(text, RelOpNames, value);
    case Rendering::kResource:
      return AppendEntryOrNumber(text, ResourceNames, value);
    case Rendering::kObject:
      return AppendNameOrNumber(text, ObjectNames, value);
    case Rendering::kResearch:
      return AppendNameOrNumber(text, ResearchNames(names), value);
    case Rendering::kAge:
      return AppendNameOrNumber(text, AgeNames, value);
    case Rendering::kStrategicNumber:
      return AppendNameOrNumber(text, SnNames, value);
    case Rendering::kPlayer:
      return AppendNameOrNumber(text, PlayerNames, value);
    case Rendering::kString:
      // An index outside the table quotes nothing.
      if (const std::string* string = StringAt(strings, value)) text.Append(*string);
      return;
    case Rendering::kNone:
    case Rendering::kDecimal:
      return AppendDecimal(text, value);
  }
}

std::array<int32_t, kMaxOperands> Parameters(const recgame::AiElement& element) {
  return {element.p1, element.p2, element.p3, element.p4};
}

// Copies the template, putting the n-th parameter's text in place of the n-th placeholder. Looked-up
// text goes in as it is: nothing in it is taken for a placeholder.
void FillTemplate(TextBuffer& text, const ElementFormat& format, const recgame::AiElement& element,
                  std::span<const std::string> strings, NameSet names) {
  const std::array<int32_t, kMaxOperands> parameters = Parameters(element);
  size_t copied = 0;
  for (size_t operand = 0; operand < format.placeholders; ++operand) {
    const size_t at = format.placeholderAt[operand];
    text.Append(format.text.substr(copied, at - copied));
    AppendOperand(text, format.operands[operand], parameters[operand], strings, names);
    copied = at + kPlaceholderLength;
  }
  text.Append(format.text.substr(copied));
}

// The row of the element's 1.0c id; nothing when it has none.
const ElementFormat* RowOf(std::span<const ElementFormat> table, const recgame::AiElement& element,
                           const CommandNumbering& numbering) {
  const std::optional<int16_t> id = ConquerorsId(numbering, element.kind, element.id);
  if (!id || *id < 0 || static_cast<size_t>(*id) >= table.size()) return nullptr;
  return &table[static_cast<size_t>(*id)];
}

}  // namespace

void AppendFromTable(TextBuffer& text, std::span<const ElementFormat> table, const recgame::AiElement& element,
                     std::span<const std::string> strings, NameSet names, const CommandNumbering& numbering) {
  const ElementFormat* row = RowOf(table, element, numbering);
  if (row != nullptr && row->HasTemplate()) {
    FillTemplate(text, *row, element, strings, names);
  } else {
    AppendNotSupported(text, element);
  }
}

uint64_t QuotedTextLength(const recgame::AiElement& element, std::span<const std::string> strings,
                          const CommandNumbering& numbering) {
  if (element.kind != recgame::ElementKind::kAction) return 0;
  const ElementFormat* row = RowOf(ActionFormats, element, numbering);
  if (row == nullptr) return 0;
  const ElementFormat& format = *row;
  const std::array<int32_t, kMaxOperands> parameters = Parameters(element);
  uint64_t length = 0;
  for (size_t operand = 0; operand < kMaxOperands; ++operand) {
    const std::string* string = StringAt(strings, parameters[operand]);
    if (format.operands[operand] == Rendering::kString && string != nullptr) length += string->size();
  }
  return length;
}

}  // namespace script
