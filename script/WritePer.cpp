#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/OutputFile.h"
#include "platform/TextFile.h"
#include "script/ElementFormats.h"
#include "script/ElementTextCache.h"
#include "script/ScriptText.h"
#include "script/ScriptText.h"

namespace script {

namespace {

// Logical operators open groups at depths 0 to 6; an operator met at the deepest depth is written
// like any other element and opens nothing.
constexpr int kDeepestDepth = 7;

// Elements at depth d stand behind d + 1 tabs.
constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t";

std::string_view Indent(int depth) { return kTabs.substr(0, static_cast<size_t>(depth) + 1); }

// Every element's own text, indentation, line end and closings included, stays within this; only
// the strings it quotes make it longer.
constexpr uint64_t kMaxElementText = 512;
constexpr uint64_t kMaxRuleFrame = 32;

// Text is built here and goes to the stream in pieces of about this size.
constexpr size_t kTextPiece = 64 * 1024;

// Elements beyond the 16 slots do not exist, whatever the count claims; a count of 0 or less (the
// count is signed) means none.
std::span<const recgame::AiElement> ElementsWritten(const recgame::AiRule& rule) {
  return std::span(rule.elements)
      .first(static_cast<size_t>(std::clamp<int>(rule.elementCount, 0, recgame::kElementSlots)));
}

// The text of a script on its way to the stream.
class ScriptTextWriter {
 public:
  ScriptTextWriter(platform::TextFile& out, const ScriptSource& script)
      : m_out(out), m_strings(script.strings), m_names(script.names), m_numbering(*script.numbering) {
    m_text.Reserve(kTextPiece);
  }

  TextBuffer& Text() { return m_text; }
  void AppendElement(const recgame::AiElement& element) {
    if (const std::optional<std::string_view> cached = m_cache.Find(element)) {
      m_text.Append(*cached);
      return;
    }
    const size_t start = m_text.Size();
    script::AppendElement(m_text, element, m_strings, m_names, m_numbering);
    m_cache.Insert(element, m_text.View().substr(start));
  }
  void HandOverWhenLarge() {
    if (m_text.Size() >= kTextPiece) HandOver();
  }
  void HandOver() {
    m_out.WriteString(m_text.View());
    m_text.Clear();
  }

 private:
  platform::TextFile& m_out;
  std::span<const std::string> m_strings;
  NameSet m_names;
  const CommandNumbering& m_numbering;
  TextBuffer m_text;
  ElementTextCache m_cache;
};

// The nesting of logical operators within one rule: the current depth, how many operands each open
// group still lacks, and whether a "not" is waiting for its operand on the same line.
class RuleLayout {
 public:
  explicit RuleLayout(ScriptTextWriter& writer) : m_writer(writer), m_text(writer.Text()) {}

  void WriteElement(const recgame::AiElement& element) {
    if (element.kind == recgame::ElementKind::kLogicalOperator && m_depth < kDeepestDepth) {
      OpenGroup(element);
    } else {
      WriteOperand(element);
    }
    CloseFinishedGroups();
  }

 private:
  // "not" takes one operand, which follows on its line; every other operator takes two.
  void OpenGroup(const recgame::AiElement& element) {
    const bool isNot = element.id == 0;
    m_text.Append(Indent(m_depth));
    m_writer.AppendElement(element);
    if (!isNot) m_text.Append('\n');
    ++m_depth;
    m_missingOperands[Slot(m_depth)] = isNot ? 1 : 2;
    if (isNot) m_inline = true;
  }

  void WriteOperand(const recgame::AiElement& element) {
    if (!m_inline) m_text.Append(Indent(m_depth));
    m_writer.AppendElement(element);
    if (!m_inline) m_text.Append('\n');
    --m_missingOperands[Slot(m_depth)];
  }

  // A closed group is one operand of the group around it. The top level never closes: its count
  // starts at 0 and only goes down.
  void CloseFinishedGroups() {
    while (m_depth > 0 && m_missingOperands[Slot(m_depth)] == 0) {
      --m_depth;
      if (m_inline) {
        m_inline = false;
      } else {
        m_text.Append(Indent(m_depth));
      }
      m_text.Append(")\n");
      --m_missingOperands[Slot(m_depth)];
    }
  }

  static size_t Slot(int depth) { return static_cast<size_t>(depth); }

  ScriptTextWriter& m_writer;
  TextBuffer& m_text;
  int m_depth = 0;
  std::array<int, kDeepestDepth + 1> m_missingOperands{};
  bool m_inline = false;
};

void WriteRule(ScriptTextWriter& writer, const recgame::AiRule& rule) {
  writer.Text().Append("(defrule\n");
  RuleLayout layout(writer);
  int slot = 0;
  for (const recgame::AiElement& element : ElementsWritten(rule)) {
    if (slot++ == rule.firstAction) writer.Text().Append("=>\n");
    layout.WriteElement(element);
    writer.HandOverWhenLarge();
  }
  writer.Text().Append(")\n");
}

}  // namespace

bool FitsTextLimit(const ScriptSource& script) {
  // Most scripts fit whatever their elements quote; only those with long strings are counted.
  size_t longestString = 0;
  for (const std::string& string : script.strings) longestString = std::max(longestString, string.size());
  const uint64_t elements = uint64_t{script.rules.size()} * recgame::kElementSlots;
  if (script.rules.size() * kMaxRuleFrame + elements * (kMaxElementText + kMaxOperands * longestString) <=
      kMaxScriptText) {
    return true;
  }
  uint64_t bound = 0;
  for (const recgame::AiRule& rule : script.rules) {
    bound += kMaxRuleFrame;
    for (const recgame::AiElement& element : ElementsWritten(rule)) {
      bound += kMaxElementText + QuotedTextLength(element, script.strings, *script.numbering);
    }
    if (bound > kMaxScriptText) return false;
  }
  return true;
}

void WritePer(const ScriptSource& script, platform::TextFile& out) {
  ScriptTextWriter writer(out, script);
  for (const recgame::AiRule& rule : script.rules) WriteRule(writer, rule);
  writer.HandOver();
}

WriteResult StagePer(const ScriptSource& script, platform::OutputFile& output, const std::string& path,
                     const std::optional<os::FileIdentity>& recGame, platform::OutputFile::Naming naming,
                     std::string* reason) {
  const WriteResult result = [&] {
    if (!FitsTextLimit(script)) return WriteResult::kTooLarge;
    switch (output.Create(path, recGame, naming)) {
      case platform::OutputFile::OpenResult::kOk:
        return WriteResult::kOk;
      case platform::OutputFile::OpenResult::kCannotCreate:
        return WriteResult::kCannotCreate;
      case platform::OutputFile::OpenResult::kIsProtectedFile:
        return WriteResult::kIsRecGame;
      case platform::OutputFile::OpenResult::kReadOnly:
        return WriteResult::kReadOnly;
    }
    return WriteResult::kCannotCreate;
  }();
  if (result != WriteResult::kOk) {
    if (reason != nullptr) *reason = result == WriteResult::kCannotCreate ? output.Problem() : ResultReason(result);
    return result;
  }
  platform::TextFile text(output.File());
  WritePer(script, text);
  text.Flush();
  return WriteResult::kOk;
}

WriteResult WritePer(const ScriptSource& script, const std::string& path,
                     const std::optional<os::FileIdentity>& recGame, platform::OutputFile::Naming naming,
                     std::string* reason) {
  platform::OutputFile output;
  const WriteResult result = StagePer(script, output, path, recGame, naming, reason);
  if (result == WriteResult::kOk) output.Commit();
  return result;
}

WriteResult WritePer(const ScriptSource& script, std::string* text) {
  if (!FitsTextLimit(script)) return WriteResult::kTooLarge;
  platform::TextFile out(*text);
  WritePer(script, out);
  out.Flush();
  return WriteResult::kOk;
}

}  // namespace script
