#include <array>
#include <string_view>

#include "script/ElementFormats.h"
#include "script/ElementText.h"
#include "script/ScriptText.h"

namespace script {

namespace {

// The opening text of each logical operator, by id; the rule writer closes the group.
constexpr std::array<std::string_view, 7> LogicOpNames = {
    "(not", "(and", "(xor", "(or", "(nor", "(xnor", "(nand",
};

void AppendLogicalOperator(TextBuffer& text, int16_t id) {
  if (id >= 0 && static_cast<size_t>(id) < LogicOpNames.size()) {
    text.Append(LogicOpNames[static_cast<size_t>(id)]);
    return;
  }
  text.Append('(');
  AppendHexId(text, id);
}

}  // namespace

void AppendElement(TextBuffer& text, const recgame::AiElement& element, std::span<const std::string> strings,
                   NameSet names, const CommandNumbering& numbering) {
  switch (element.kind) {
    case recgame::ElementKind::kFact:
      return AppendFromTable(text, FactFormats, element, strings, names, numbering);
    case recgame::ElementKind::kAction:
      return AppendFromTable(text, ActionFormats, element, strings, names, numbering);
    case recgame::ElementKind::kLogicalOperator:
      return AppendLogicalOperator(text, element.id);
  }
  text.Append("unknown");
}

std::string FormatElement(const recgame::AiElement& element, std::span<const std::string> strings, NameSet names,
                          const CommandNumbering& numbering) {
  TextBuffer text;
  AppendElement(text, element, strings, names, numbering);
  return std::string(text.View());
}

}  // namespace script
