// velkorin extract: the AI scripts of one recorded game.
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "platform/BinaryFile.h"
#include "platform/OsFile.h"
#include "platform/TextFile.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"
#include "script/ScriptFileNames.h"
#include "script/ScriptOutputs.h"

namespace {

constexpr OptionSpec kOptions[] = {
    {"output", 'o', "OUT", "write the script to OUT instead of standard output (- is standard output)"},
    {"script", 0, "N", "write the N-th script (from 1; the first by default)"},
    {"all", 0, "", "write every script (not with --script): to OUT-1.per, OUT-2.per, ... (OUT without .per), or one "
                   "after another to standard output, each after a line '; script N of M'"},
    kSalvageOption,
    kNamesOption,
    kNumberingOption,
};

// Which scripts go where: one to OUT, or each to a file of its own named after BASE.
struct Request {
  std::string recGame;
  std::string output = "-";
  std::optional<size_t> script;  // 0-based; every script when empty
  LoadOptions load;
  NameSet names = NameSet::kStandard;
  NumberingChoice numbering = NumberingChoice::kAuto;
};

Request ReadRequest(const Arguments& arguments) {
  if (arguments.Operands().size() != 1) {
    throw UsageProblem(arguments.Operands().empty() ? "no recorded game given"
                                                    : "only one recorded game can be extracted at a time");
  }
  if (arguments.Has("script") && arguments.Has("all")) throw UsageProblem("--script and --all exclude each other");
  std::string problem;
  const std::optional<unsigned> script = arguments.Count("script", 1, static_cast<unsigned>(script::kMaxScripts), &problem);
  if (!script) throw UsageProblem(problem);

  Request request;
  request.recGame = arguments.Operands().front();
  request.output = arguments.Value("output").value_or("-");
  if (!arguments.Has("all")) request.script = *script - 1;
  request.load.salvage = arguments.Has("salvage");
  request.names = ReadNameSet(arguments);
  request.numbering = ReadNumberingChoice(arguments);
  return request;
}

int ReportTooLarge(std::ostream& err, const std::string& recGame) {
  return Report(err, recGame, ResultMessage(WriteResult::kTooLarge), ResultReason(WriteResult::kTooLarge),
                ExitStatus(WriteResult::kTooLarge));
}

int ReportWriteFailure(std::ostream& err, const std::string& output, WriteResult written, const std::string& reason) {
  return Report(err, output, ResultMessage(written), reason.empty() ? ResultReason(written) : reason,
                ExitStatus(written));
}

// Standard output gets the bytes a file would; several scripts follow one another, each after a
// comment line that says which it is. Nothing is written unless every script fits.
int WriteToStandardOutput(const CAiScript& script, const Request& request, const std::vector<size_t>& scripts) {
  BinaryFile standardOutput;
  standardOutput.AttachStandardOutput();
  TextFile text(standardOutput);
  for (const size_t n : scripts) {
    if (!request.script) {
      text.WriteString("; script " + std::to_string(n + 1) + " of " + std::to_string(scripts.size()) + "\n");
    }
    script.WritePer(text, n);
  }
  text.Flush();
  return kExitOk;
}

bool StandardOutputIs(const std::string& path) {
  const os::PathStatus file = os::StatusOf(path);
  const std::optional<os::FileIdentity> standardOutput = os::IdentityOf(os::StandardOutput());
  return file.kind == os::PathKind::kRegular && standardOutput == file.identity;
}

int Extract(const Request& request, std::ostream& err) {
  if (request.output == "-" && StandardOutputIs(request.recGame)) {
    return ReportWriteFailure(err, request.recGame, WriteResult::kIsRecGame, "");
  }
  CAiScript script;
  script.UseNames(request.names);
  script.UseNumbering(request.numbering);
  const ReadResult read = script.LoadAndParse(request.recGame, request.load);
  if (read != ReadResult::kOk) return ReportReadFailure(err, request.recGame, read, script);
  if (request.script && *request.script >= script.ScriptCount()) {
    return Report(err, request.recGame, "No script " + std::to_string(*request.script + 1) + " in this file",
                  "it holds " + std::to_string(script.ScriptCount()), kExitNoSuchScript);
  }

  WarnOfUnknownNumbering(err, request.recGame, script);

  std::vector<size_t> scripts;
  for (size_t n = 0; n < script.ScriptCount(); ++n) {
    if (!request.script || n == *request.script) scripts.push_back(n);
  }
  for (const size_t n : scripts) WarnOfMissingRules(err, request.recGame, script, n);
  if (request.output == "-") {
    for (const size_t n : scripts) {
      if (!script.FitsTextLimit(n)) return ReportTooLarge(err, request.recGame);
    }
    return WriteToStandardOutput(script, request, scripts);
  }
  // All or nothing: no output is replaced until every script is complete.
  const std::vector<ScriptOutput> outputs = request.script
                                                ? std::vector<ScriptOutput>{{*request.script, request.output}}
                                                : script::NumberedOutputs(request.output, script.ScriptCount());
  const ScriptsWritten written = script::WriteScripts(script, outputs);
  if (written.result == WriteResult::kTooLarge) return ReportTooLarge(err, request.recGame);
  if (written.result != WriteResult::kOk) {
    return ReportWriteFailure(err, written.output, written.result, written.reason);
  }
  return kExitOk;
}

int RunExtract(const Arguments& arguments, std::ostream& /*out*/, std::ostream& err) {
  const Request request = ReadRequest(arguments);
  try {
    return Extract(request, err);
  } catch (const std::bad_alloc&) {
    // The script and its output file are gone by now, and the old output is as it was.
    return Report(err, request.recGame, kOutOfMemoryMessage, "", kExitOutOfMemory);
  }
}

}  // namespace

const Command kExtractCommand = {
    "extract",
    "RECGAME",
    "write the AI script of RECGAME; a game with several computer players holds one script for each",
    kOptions,
    RunExtract,
};
