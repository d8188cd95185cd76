#include <string_view>

#include "recgame/AiScript.h"
#include "script/ElementFormats.h"
#include "script/ElementText.h"
#include "script/NameTables.h"

namespace {

// Where the next "%d" or "%s" of a template begins; any other percent sign is plain text.
size_t FindPlaceholder(std::string_view text) {
  for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
    if (at + 1 < text.size() && (text[at + 1] == 'd' || text[at + 1] == 's')) return at;
  }
  return std::string_view::npos;
}

constexpr size_t kPlaceholderLength = 2;

}  // namespace

std::string CAiScript::FormatFromTable(std::span<const ElementFormat> table, const AiElement& element) const {
  if (element.id < 0 || static_cast<size_t>(element.id) >= table.size()) return NotSupportedText(element);
  const ElementFormat& format = table[static_cast<size_t>(element.id)];
  return format.HasTemplate() ? FillTemplate(format, element) : NotSupportedText(element);
}

// Copies the template, putting the n-th parameter's text in place of the n-th placeholder. Looked-up
// text goes in as it is: nothing in it is taken for a placeholder.
std::string CAiScript::FillTemplate(const ElementFormat& format, const AiElement& element) const {
  const std::array<int32_t, kMaxOperands> parameters = {element.p1, element.p2, element.p3, element.p4};
  std::string text;
  std::string_view rest = format.text;
  for (size_t operand = 0; operand < kMaxOperands; ++operand) {
    const size_t at = FindPlaceholder(rest);
    if (at == std::string_view::npos) break;
    text += rest.substr(0, at);
    text += RenderOperand(format.operands[operand], parameters[operand]);
    rest.remove_prefix(at + kPlaceholderLength);
  }
  text += rest;
  return text;
}

std::string CAiScript::RenderOperand(Rendering rendering, int32_t value) const {
  switch (rendering) {
    case Rendering::kRelOp:
      return EntryOrNumber(RelOpNames, value);
    case Rendering::kResource:
      return EntryOrNumber(ResourceNames, value);
    case Rendering::kObject:
      return GetObjectName(value);
    case Rendering::kResearch:
      return GetTechName(value);
    case Rendering::kAge:
      return GetAgeName(value);
    case Rendering::kStrategicNumber:
      return GetSnName(value);
    case Rendering::kPlayer:
      return GetPlayerName(value);
    case Rendering::kString:
      return GetStringParam(value);
    case Rendering::kNone:
    case Rendering::kDecimal:
      break;
  }
  return std::to_string(value);
}

uint64_t CAiScript::QuotedTextLength(const AiElement& element) const {
  if (element.kind != ElementKind::kAction || element.id < 0 || static_cast<size_t>(element.id) >= kActionIds) return 0;
  const ElementFormat& format = ActionFormats[static_cast<size_t>(element.id)];
  const std::array<int32_t, kMaxOperands> parameters = {element.p1, element.p2, element.p3, element.p4};
  uint64_t length = 0;
  for (size_t operand = 0; operand < kMaxOperands; ++operand) {
    const int32_t index = parameters[operand];
    if (format.operands[operand] == Rendering::kString && index >= 0 && static_cast<size_t>(index) < m_StringTable.size()) {
      length += m_StringTable[static_cast<size_t>(index)].size();
    }
  }
  return length;
}
