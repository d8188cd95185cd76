#include "cli/Extraction.h"

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/ConsoleText.h"
#include "extraction/GameSummary.h"
#include "extraction/ResultMessages.h"

namespace cli {

script::NameSet ReadNameSet(const Arguments& arguments) {
  const std::string value = arguments.Value(kNamesOption.name).value_or("standard");
  if (value == "standard") return script::NameSet::kStandard;
  if (value == "full") return script::NameSet::kFull;
  throw UsageProblem("option --names takes full or standard");
}

const platform::CodePage& ReadCodePage(const Arguments& arguments) {
  const std::optional<std::string> name = arguments.Value(kEncodingOption.name);
  if (!name) return platform::kDefaultCodePage;
  if (const platform::CodePage* page = platform::FindCodePage(*name)) return *page;
  std::string names = platform::CodePageNames();
  names.replace(names.rfind(", "), 2, " or ");
  throw UsageProblem("option --encoding takes " + names);
}

script::NumberingChoice ReadNumberingChoice(const Arguments& arguments) {
  const std::string value = arguments.Value(kNumberingOption.name).value_or("auto");
  if (value == "auto") return script::NumberingChoice::kAuto;
  if (value == "1.0c") return script::NumberingChoice::kConquerors;
  throw UsageProblem("option --numbering takes auto or 1.0c");
}

void WarnOfUnknownNumbering(std::ostream& err, const std::string& path, const extraction::CAiScript& script) {
  if (script.Numbering().kind != script::NumberingKind::kUnknown) return;
  Report(err, path, extraction::VersionText(script.Header()),
         "the command numbering of this version is not known; facts and actions may be misnamed", 0);
}

void WarnOfMissingRules(std::ostream& err, const std::string& path, const extraction::CAiScript& script, size_t n) {
  const recgame::AiRules rules = script.Rules(n);
  const std::string missing = extraction::MissingRulesMessage(n, {rules.size(), rules.Claimed(), std::nullopt});
  if (!missing.empty()) Report(err, path, missing, "", 0);
}

int ReportReadFailure(std::ostream& err, const std::string& path, recgame::ReadResult read,
                      const extraction::CAiScript& script) {
  const std::optional<size_t> cut = script.CutScript();
  if (read == recgame::ReadResult::kBroken && cut) {
    const recgame::AiRules rules = script.Rules(*cut);
    return Report(err, path, extraction::CutShortMessage(*cut, rules.Claimed(), rules.size()), "--salvage writes those",
                  ExitStatus(read));
  }
  return Report(err, path, extraction::ResultMessage(read), script.LoadFailure(), ExitStatus(read));
}

int ExitStatus(recgame::ReadResult result) {
  switch (result) {
    case recgame::ReadResult::kOk:
      return kExitOk;
    case recgame::ReadResult::kCannotOpen:
      return kExitFileOpenError;
    case recgame::ReadResult::kNoAiScript:
      return kExitNoAiScript;
    case recgame::ReadResult::kBroken:
      return kExitBrokenRecGame;
  }
  return kExitBrokenRecGame;
}

int ExitStatus(script::WriteResult result) {
  switch (result) {
    case script::WriteResult::kOk:
      return kExitOk;
    case script::WriteResult::kCannotCreate:
    case script::WriteResult::kIsRecGame:
    case script::WriteResult::kReadOnly:
      return kExitFileWriteError;
    case script::WriteResult::kTooLarge:
      return kExitBrokenRecGame;
  }
  return kExitFileWriteError;
}

int Report(std::ostream& err, const std::string& path, std::string_view message, std::string_view reason, int status) {
  std::string line = path + ": " + std::string(message);
  if (!reason.empty()) line += ": " + std::string(reason);
  err << "velkorin: " << platform::EscapeControls(line) << '\n';
  return status;
}

}  // namespace cli
