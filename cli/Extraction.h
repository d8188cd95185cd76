#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "platform/CodePage.h"
#include "recgame/ReadResult.h"
#include "extraction/AiScript.h"
#include "script/ScriptText.h"

namespace cli {

// What the commands share about one recorded game: how researches are named, which code page its
// players' names are read in, and how a result becomes an exit status and a line on standard error.

// "--names full|standard", for the options table of every command that writes scripts.
inline constexpr OptionSpec kNamesOption = {
    "names", 0, "full|standard",
    "how researches are written: standard (the default) names the ages and eight more, the rest stay numbers; "
    "full names all 118 that have a keyword"};
// "--salvage", for the options table of every command that reads recorded games.
inline constexpr OptionSpec kSalvageOption = {
    "salvage", 0, "",
    "read a recorded game whose header-length field is 0 up to the end of its compressed header, instead of "
    "calling it broken"};
// The names that option asks for, the standard ones when it is not given; throws UsageProblem for
// any other value.
script::NameSet ReadNameSet(const Arguments& arguments);

// "--encoding NAME", for the commands that show players' names: the code page they were recorded in.
inline constexpr OptionSpec kEncodingOption = {
    "encoding", 0, "NAME",
    "the code page the players' names were recorded in: windows-1252 (the default), gbk, big5, shift_jis, "
    "euc-kr or windows-1251"};
// The code page that option names, windows-1252 when it is not given; throws UsageProblem for any
// other name.
const platform::CodePage& ReadCodePage(const Arguments& arguments);

// "--numbering auto|1.0c", for the same commands: by the game's version, or 1.0c's for any game.
inline constexpr OptionSpec kNumberingOption = {
    "numbering", 0, "auto|1.0c",
    "how stored facts and actions are numbered: auto (the default) by the game's version, 1.0c as The "
    "Conquerors 1.0c numbers them, whatever the version"};
// The choice that option makes, auto when it is not given; throws UsageProblem for any other value.
script::NumberingChoice ReadNumberingChoice(const Arguments& arguments);
// When the game's version has no known numbering and it is to be written by its version, says so
// on `err`: its facts and actions may be misnamed. The script's text carries no such remark.
void WarnOfUnknownNumbering(std::ostream& err, const std::string& path, const extraction::CAiScript& script);

// Says on `err` what a script written from the game lacks: that it was cut short (salvaged), or holds no
// rules although written, so that an output shorter than the user expects is never a surprise.
void WarnOfMissingRules(std::ostream& err, const std::string& path, const extraction::CAiScript& script, size_t n);
// Reports a load or parse that failed, in the words of its result; a script cut short says which, how
// many rules it claims and how many the file holds. Returns the exit status.
int ReportReadFailure(std::ostream& err, const std::string& path, recgame::ReadResult read,
                      const extraction::CAiScript& script);

int ExitStatus(recgame::ReadResult result);
int ExitStatus(script::WriteResult result);

// Writes "velkorin: PATH: MESSAGE", with ": REASON" when there is one, and returns `status`. A control
// character in the path or the reason, which may name files too, is shown escaped.
int Report(std::ostream& err, const std::string& path, std::string_view message, std::string_view reason, int status);

}  // namespace cli
