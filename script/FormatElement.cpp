#include <array>
#include <string_view>

#include "recgame/AiScript.h"
#include "script/ElementText.h"

namespace {

// The opening text of each logical operator, by id; the rule writer closes the group.
constexpr std::array<std::string_view, 7> LogicOpNames = {
    "(not", "(and", "(xor", "(or", "(nor", "(xnor", "(nand",
};

std::string FormatLogicalOperator(int16_t id) {
  if (id >= 0 && static_cast<size_t>(id) < LogicOpNames.size()) {
    return std::string(LogicOpNames[static_cast<size_t>(id)]);
  }
  std::string text = "(";
  text += HexId(id);
  return text;
}

}  // namespace

std::string CAiScript::FormatElement(AiElement element) const {
  switch (element.kind) {
    case ElementKind::kFact:
      return FormatFact(element);
    case ElementKind::kAction:
      return FormatAction(element);
    case ElementKind::kLogicalOperator:
      return FormatLogicalOperator(element.id);
  }
  return "unknown";
}
