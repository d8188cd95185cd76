#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/OsFile.h"

class TextFile;
struct ElementFormat;
enum class Rendering : uint8_t;

// What an element of a rule is. Files may hold any other value; it is kept as it stands.
enum class ElementKind : int32_t {
  kAction = 1,
  kLogicalOperator = 2,
  kFact = 3,
};

// One element of a rule: a fact, a logical operator or an action, with its four parameters.
struct AiElement {
  ElementKind kind;
  int16_t id;
  int32_t p1;
  int32_t p2;
  int32_t p3;
  int32_t p4;
};

constexpr int kElementSlots = 16;

// One rule of the compiled script: its element slots, how many of them are used, and the slot of
// the first action ("=>" is written before it).
struct AiRule {
  int8_t nElementCount;
  int8_t nFirstAction;
  std::array<AiElement, kElementSlots> elements;
};

// Result codes of the pipeline stages.
enum : int {
  kResultOk = 0,
  kResultCannotOpen = 1,  // a file cannot be opened or created
  kResultNoAiScript = 2,
  kResultBroken = 3,
  kResultOutputIsRecGame = 4,  // the output named is the recorded game that was read
};

// The most rules a script can hold: its rule count is a signed 16-bit field.
constexpr int kMaxRules = 32767;

// The largest inflated header accepted; a stream that inflates beyond it is broken.
constexpr uint32_t kMaxHeaderLength = 64u * 1024 * 1024;

// The most text a script may take; the largest real script takes 1.7 MB. A few kilobytes of
// recorded game can quote a long string thousands of times, so a script beyond this is broken.
constexpr uint64_t kMaxScriptText = uint64_t{1} << 30;

// The AI script of one recorded game, from file to script text: LoadRecGame inflates the file's
// header into the object, ParseAi reads the AI section into the string table and the rule store,
// WritePer writes the rules as AI-script source. A FileError thrown by any of them leaves the object
// safe to destroy.
class CAiScript {
 public:
  CAiScript();
  virtual ~CAiScript();
  CAiScript(const CAiScript&) = delete;
  CAiScript& operator=(const CAiScript&) = delete;

  // 0, 1 (the recorded game or the temporary file for it cannot be opened) or 3 (broken file).
  int LoadRecGame(const std::string& path);
  // Why the last load gave 1 when the recorded game itself opened; empty otherwise.
  const std::string& LoadFailure() const { return m_strLoadFailure; }
  // 0, or 2 when the header holds no AI script or its AI section is cut short.
  int ParseAi();
  // 0; 1 when the output file cannot be created; 3 when the script's text would be larger than any
  // script can be; 4 when the output is the recorded game that was loaded. Nothing at the path
  // changes unless the whole script was written.
  int WritePer(const std::string& path) const;
  // Writes the script to a stream that is already open.
  void WritePer(TextFile& out) const;
  // Whether the script's text stays within kMaxScriptText; known before anything is written.
  bool FitsTextLimit() const;

  // The text of one element, without indentation or line end; for a logical operator only its
  // opening, such as "(and".
  std::string FormatElement(AiElement element) const;

  // The keyword of a parameter value, or the value's signed decimal text when it has none.
  std::string GetObjectName(int32_t id) const;
  std::string GetTechName(int32_t id) const;
  std::string GetAgeName(int32_t id) const;
  std::string GetSnName(int32_t id) const;
  std::string GetPlayerName(int32_t id) const;
  // A copy of a string-table entry, as stored; empty for an index outside the table.
  std::string GetStringParam(int32_t index) const;

  std::span<const AiRule> Rules() const { return {m_pRules.get(), static_cast<size_t>(m_nRuleCount)}; }
  const std::vector<std::string>& StringTable() const { return m_StringTable; }
  // The inflated header; empty when none is held.
  std::span<const uint8_t> Header() const { return {m_pHeader.get(), m_nHeaderLength}; }

 private:
  void ReleaseHeader();
  void WriteRule(TextFile& out, const AiRule& rule) const;
  std::string FormatFact(const AiElement& element) const;
  std::string FormatAction(const AiElement& element) const;
  std::string FormatFromTable(std::span<const ElementFormat> table, const AiElement& element) const;
  std::string FillTemplate(const ElementFormat& format, const AiElement& element) const;
  std::string RenderOperand(Rendering rendering, int32_t value) const;
  // The length of the string-table text that the element's text quotes.
  uint64_t QuotedTextLength(const AiElement& element) const;

  int32_t m_nRuleCount = 0;
  std::unique_ptr<AiRule[]> m_pRules;  // m_nRuleCount rules, allocated once per parse
  std::vector<std::string> m_StringTable;
  std::unique_ptr<uint8_t[]> m_pHeader;
  uint32_t m_nHeaderLength = 0;  // nonzero exactly when m_pHeader holds a header
  std::optional<os::FileIdentity> m_recGameIdentity;  // of the recorded game whose header is held
  std::string m_strLoadFailure;
};
