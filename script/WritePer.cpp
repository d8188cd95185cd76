#include <algorithm>
#include <array>
#include <string_view>

#include "platform/OutputFile.h"
#include "platform/TextFile.h"
#include "recgame/AiScript.h"

namespace {

// Elements beyond the 16 slots do not exist, whatever the count claims; a count of 0 or less (the
// count is signed) means none.
size_t ElementsWritten(const AiRule& rule) { return static_cast<size_t>(std::clamp<int>(rule.nElementCount, 0, kElementSlots)); }

// Logical operators open groups at depths 0 to 6; an operator met at the deepest depth is written
// like any other element and opens nothing.
constexpr int kDeepestDepth = 7;

// Elements at depth d stand behind d + 1 tabs.
constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t";

std::string_view Indent(int depth) { return kTabs.substr(0, static_cast<size_t>(depth) + 1); }

// The nesting of logical operators within one rule: the current depth, how many operands each open
// group still lacks, and whether a "not" is waiting for its operand on the same line.
class RuleLayout {
 public:
  explicit RuleLayout(TextFile& out) : m_out(out) {}

  void WriteElement(const AiElement& element, std::string_view text) {
    if (element.kind == ElementKind::kLogicalOperator && m_depth < kDeepestDepth) {
      OpenGroup(element.id == 0, text);
    } else {
      WriteOperand(text);
    }
    CloseFinishedGroups();
  }

 private:
  // "not" takes one operand, which follows on its line; every other operator takes two.
  void OpenGroup(bool isNot, std::string_view text) {
    m_out.WriteString(Indent(m_depth));
    m_out.WriteString(text);
    if (!isNot) m_out.WriteString("\n");
    ++m_depth;
    m_missingOperands[Slot(m_depth)] = isNot ? 1 : 2;
    if (isNot) m_bInline = true;
  }

  void WriteOperand(std::string_view text) {
    if (!m_bInline) m_out.WriteString(Indent(m_depth));
    m_out.WriteString(text);
    if (!m_bInline) m_out.WriteString("\n");
    --m_missingOperands[Slot(m_depth)];
  }

  // A closed group is one operand of the group around it. The top level never closes: its count
  // starts at 0 and only goes down.
  void CloseFinishedGroups() {
    while (m_depth > 0 && m_missingOperands[Slot(m_depth)] == 0) {
      --m_depth;
      if (m_bInline) {
        m_out.WriteString(")\n");
        m_bInline = false;
      } else {
        m_out.WriteString(Indent(m_depth));
        m_out.WriteString(")\n");
      }
      --m_missingOperands[Slot(m_depth)];
    }
  }

  static size_t Slot(int depth) { return static_cast<size_t>(depth); }

  TextFile& m_out;
  int m_depth = 0;
  std::array<int, kDeepestDepth + 1> m_missingOperands{};
  bool m_bInline = false;
};

}  // namespace

int CAiScript::WritePer(const std::string& path) const {
  if (!FitsTextLimit()) return kResultBroken;
  OutputFile output;
  switch (output.Create(path, m_recGameIdentity)) {
    case OutputFile::OpenResult::kOk:
      break;
    case OutputFile::OpenResult::kCannotCreate:
      return kResultCannotOpen;
    case OutputFile::OpenResult::kIsProtectedFile:
      return kResultOutputIsRecGame;
  }
  TextFile text(output.File());
  WritePer(text);
  text.Flush();
  output.Commit();
  return kResultOk;
}

void CAiScript::WritePer(TextFile& out) const {
  for (const AiRule& rule : Rules()) WriteRule(out, rule);
}

// Every element's own text, indentation, line end and closings included, stays within this; only
// the strings it quotes can make it longer.
constexpr uint64_t kMaxElementText = 512;
constexpr uint64_t kMaxRuleFrame = 32;

bool CAiScript::FitsTextLimit() const {
  uint64_t bound = 0;
  for (const AiRule& rule : Rules()) {
    bound += kMaxRuleFrame;
    for (const AiElement& element : std::span(rule.elements).first(ElementsWritten(rule))) {
      bound += kMaxElementText + QuotedTextLength(element);
    }
    if (bound > kMaxScriptText) return false;
  }
  return true;
}

void CAiScript::WriteRule(TextFile& out, const AiRule& rule) const {
  out.WriteString("(defrule\n");
  RuleLayout layout(out);
  const int count = static_cast<int>(ElementsWritten(rule));
  for (int slot = 0; slot < count; ++slot) {
    if (slot == rule.nFirstAction) out.WriteString("=>\n");
    const AiElement& element = rule.elements[static_cast<size_t>(slot)];
    layout.WriteElement(element, FormatElement(element));
  }
  out.WriteString(")\n");
}
