#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/OsFile.h"
#include "platform/OutputFile.h"
#include "platform/TextFile.h"
#include "recgame/AiRules.h"
#include "script/CommandNumbering.h"
#include "script/NameTables.h"
#include "script/TextBuffer.h"

namespace script {

// One script to write: its rules, the string table that their actions quote, the names its
// research parameters are written with, and the numbering its facts and actions are stored in.
struct ScriptSource {
  std::span<const std::string> strings;
  recgame::AiRules rules;
  NameSet names = NameSet::kStandard;
  const CommandNumbering* numbering = &kConquerorsNumbering;
};

// What writing a script to a file gave.
enum class [[nodiscard]] WriteResult : int {
  kOk = 0,
  kCannotCreate = 1,
  kTooLarge = 3,   // the text would take more than kMaxScriptText: the recorded game is broken
  kIsRecGame = 4,  // the output is the recorded game that was read, under whichever name
  kReadOnly = 5,   // the output exists and the user may not write it
};

// Why a write was refused, where its result alone does not say it; for kCannotCreate the system's
// reason comes with the result instead.
constexpr std::string_view ResultReason(WriteResult result) {
  switch (result) {
    case WriteResult::kIsRecGame:
      return "it is the recorded game itself";
    case WriteResult::kTooLarge:
      return "its script would take more than 1 GiB of text";
    case WriteResult::kReadOnly:
      return "it is read-only";
    case WriteResult::kOk:
    case WriteResult::kCannotCreate:
      return "";
  }
  return "";
}

// The most text a script may take; the largest real script takes 1.7 MB. A few kilobytes of
// recorded game can quote a long string thousands of times, so a script beyond this is broken.
constexpr uint64_t kMaxScriptText = uint64_t{1} << 30;

// The text of one element, without indentation or line end; for a logical operator only its
// opening, such as "(and". Never empty, never fails.
std::string FormatElement(const recgame::AiElement& element, std::span<const std::string> strings,
                          NameSet names = NameSet::kStandard, const CommandNumbering& numbering = kConquerorsNumbering);
// The same text, appended to `text`.
void AppendElement(TextBuffer& text, const recgame::AiElement& element, std::span<const std::string> strings,
                   NameSet names = NameSet::kStandard, const CommandNumbering& numbering = kConquerorsNumbering);

// Whether the script's text stays within kMaxScriptText; known before anything is written.
bool FitsTextLimit(const ScriptSource& script);
// Writes the rules as AI-script source, one "(defrule" block each, to a stream that is open.
void WritePer(const ScriptSource& script, platform::TextFile& out);
// Writes the script to `output`, created for the file at `path`, which must not be the recorded game
// `recGame`; the output's Commit puts it in place. `reason`, when given, gets why it failed.
WriteResult StagePer(const ScriptSource& script, platform::OutputFile& output, const std::string& path,
                     const std::optional<os::FileIdentity>& recGame,
                     platform::OutputFile::Naming naming = platform::OutputFile::Naming::kUsersChoice,
                     std::string* reason = nullptr);
// Writes the script to the file at `path`, which is replaced whole or not at all.
WriteResult WritePer(const ScriptSource& script, const std::string& path,
                     const std::optional<os::FileIdentity>& recGame,
                     platform::OutputFile::Naming naming = platform::OutputFile::Naming::kUsersChoice,
                     std::string* reason = nullptr);
// Appends the bytes that file would hold, CR LF included, to `text`.
WriteResult WritePer(const ScriptSource& script, std::string* text);

}  // namespace script
