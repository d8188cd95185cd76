#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/OsFile.h"
#include "recgame/AiRules.h"
#include "script/NameTables.h"
#include "script/TextBuffer.h"

class TextFile;

// One script to write: its rules, the string table that their actions quote, and the names its
// research parameters are written with.
struct ScriptSource {
  std::span<const std::string> strings;
  AiRules rules;
  NameSet names = NameSet::kStandard;
};

// What writing a script to a file gave.
enum class [[nodiscard]] WriteResult : int {
  kOk = 0,
  kCannotCreate = 1,
  kTooLarge = 3,   // the text would take more than kMaxScriptText: the recorded game is broken
  kIsRecGame = 4,  // the output is the recorded game that was read, under whichever name
};

// The most text a script may take; the largest real script takes 1.7 MB. A few kilobytes of
// recorded game can quote a long string thousands of times, so a script beyond this is broken.
constexpr uint64_t kMaxScriptText = uint64_t{1} << 30;

namespace script {

// The text of one element, without indentation or line end; for a logical operator only its
// opening, such as "(and". Never empty, never fails.
std::string FormatElement(const AiElement& element, std::span<const std::string> strings,
                          NameSet names = NameSet::kStandard);
// The same text, appended to `text`.
void AppendElement(TextBuffer& text, const AiElement& element, std::span<const std::string> strings,
                   NameSet names = NameSet::kStandard);

// Whether the script's text stays within kMaxScriptText; known before anything is written.
bool FitsTextLimit(const ScriptSource& script);
// Writes the rules as AI-script source, one "(defrule" block each, to a stream that is open.
void WritePer(const ScriptSource& script, TextFile& out);
// Writes the script to the file at `path`, which is replaced whole or not at all and which must not
// be the recorded game `recGame`.
WriteResult WritePer(const ScriptSource& script, const std::string& path,
                     const std::optional<os::FileIdentity>& recGame);
// Appends the bytes that file would hold, CR LF included, to `text`.
WriteResult WritePer(const ScriptSource& script, std::string* text);

}  // namespace script
