#include "cli/Extraction.h"

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "platform/ConsoleText.h"
#include "extraction/GameSummary.h"
#include "extraction/ResultMessages.h"

NameSet ReadNameSet(const Arguments& arguments) {
  const std::string value = arguments.Value(kNamesOption.name).value_or("standard");
  if (value == "standard") return NameSet::kStandard;
  if (value == "full") return NameSet::kFull;
  throw UsageProblem("option --names takes full or standard");
}

const CodePage& ReadCodePage(const Arguments& arguments) {
  const std::optional<std::string> name = arguments.Value(kEncodingOption.name);
  if (!name) return kDefaultCodePage;
  if (const CodePage* page = FindCodePage(*name)) return *page;
  std::string names = CodePageNames();
  names.replace(names.rfind(", "), 2, " or ");
  throw UsageProblem("option --encoding takes " + names);
}

NumberingChoice ReadNumberingChoice(const Arguments& arguments) {
  const std::string value = arguments.Value(kNumberingOption.name).value_or("auto");
  if (value == "auto") return NumberingChoice::kAuto;
  if (value == "1.0c") return NumberingChoice::kConquerors;
  throw UsageProblem("option --numbering takes auto or 1.0c");
}

void WarnOfUnknownNumbering(std::ostream& err, const std::string& path, const CAiScript& script) {
  if (script.Numbering().kind != NumberingKind::kUnknown) return;
  Report(err, path, script::VersionText(script.Header()),
         "the command numbering of this version is not known; facts and actions may be misnamed", 0);
}

void WarnOfMissingRules(std::ostream& err, const std::string& path, const CAiScript& script, size_t n) {
  const AiRules rules = script.Rules(n);
  const std::string missing = script::MissingRulesMessage(n, {rules.size(), rules.Claimed(), std::nullopt});
  if (!missing.empty()) Report(err, path, missing, "", 0);
}

int ReportReadFailure(std::ostream& err, const std::string& path, ReadResult read, const CAiScript& script) {
  const std::optional<size_t> cut = script.CutScript();
  if (read == ReadResult::kBroken && cut) {
    const AiRules rules = script.Rules(*cut);
    return Report(err, path, CutShortMessage(*cut, rules.Claimed(), rules.size()), "--salvage writes those",
                  ExitStatus(read));
  }
  return Report(err, path, ResultMessage(read), script.LoadFailure(), ExitStatus(read));
}

int ExitStatus(ReadResult result) {
  switch (result) {
    case ReadResult::kOk:
      return kExitOk;
    case ReadResult::kCannotOpen:
      return kExitFileOpenError;
    case ReadResult::kNoAiScript:
      return kExitNoAiScript;
    case ReadResult::kBroken:
      return kExitBrokenRecGame;
  }
  return kExitBrokenRecGame;
}

int ExitStatus(WriteResult result) {
  switch (result) {
    case WriteResult::kOk:
      return kExitOk;
    case WriteResult::kCannotCreate:
    case WriteResult::kIsRecGame:
    case WriteResult::kReadOnly:
      return kExitFileWriteError;
    case WriteResult::kTooLarge:
      return kExitBrokenRecGame;
  }
  return kExitFileWriteError;
}

int Report(std::ostream& err, const std::string& path, std::string_view message, std::string_view reason, int status) {
  std::string line = path + ": " + std::string(message);
  if (!reason.empty()) line += ": " + std::string(reason);
  err << "velkorin: " << EscapeControls(line) << '\n';
  return status;
}
