// velkorin extract-all: the AI scripts of every recorded game of a folder, several games at a time.
#include <algorithm>
#include <array>
#include <exception>
#include <new>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "platform/Parallel.h"
#include "recgame/RecGameFolder.h"
#include "platform/ConsoleText.h"
#include "platform/OsFile.h"
#include "platform/OutputFile.h"
#include "extraction/AiScript.h"
#include "extraction/ScriptFileNames.h"
#include "extraction/ResultMessages.h"

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"directory", 'd', "OUTDIR", "the folder of the scripts, created when missing", true},
    {"jobs", 'j', "N", "extract N games at a time (1 to 64; the number of processors by default)"},
    kSalvageOption,
    kNamesOption,
    kNumberingOption,
};

constexpr unsigned kMaxJobs = 64;
// The most memory the games being extracted hold at once, compressed and inflated headers together,
// however many run at a time; a game that needs more runs alone.
constexpr uint64_t kInFlightBudget = uint64_t{256} << 20;

struct Request {
  std::string folder;
  std::string outputFolder;
  unsigned jobs = 1;
  recgame::LoadOptions load;
  script::NameSet names = script::NameSet::kStandard;
  script::NumberingChoice numbering = script::NumberingChoice::kAuto;
};

Request ReadRequest(const Arguments& arguments) {
  if (arguments.Operands().size() != 1) {
    throw UsageProblem(arguments.Operands().empty() ? "no folder given" : "only one folder can be extracted at a time");
  }
  std::string problem;
  const std::optional<unsigned> jobs =
      arguments.Count("jobs", std::min(platform::ProcessorCount(), kMaxJobs), kMaxJobs, &problem);
  if (!jobs) throw UsageProblem(problem);
  return {arguments.Operands().front(), *arguments.Value("directory"), *jobs,
          {.salvage = arguments.Has("salvage")}, ReadNameSet(arguments),
          ReadNumberingChoice(arguments)};
}

enum class Outcome { kExtracted, kNoAiScript, kBroken, kFailed };

struct GameResult {
  Outcome outcome = Outcome::kExtracted;
  std::string report;  // the lines on standard error: a warning, a broken game or a failure
  bool outOfMemory = false;  // failed for lack of memory; its line is made once the memory is back
};

GameResult Failure(Outcome outcome, const std::string& path, std::string_view message, std::string_view reason) {
  std::ostringstream line;
  Report(line, path, message, reason, 0);
  return {outcome, line.str()};
}

GameResult WriteScripts(const extraction::CAiScript& script, const recgame::RecGameFile& game, const std::string& base,
                        const Request& request) {
  for (size_t n = 0; n < script.ScriptCount(); ++n) {
    const std::string output = recgame::PathInFolder(request.outputFolder, extraction::ScriptFileName(base, n));
    std::string reason;
    const script::WriteResult written = script.WritePer(output, n, platform::OutputFile::Naming::kOwn, &reason);
    if (written == script::WriteResult::kTooLarge)
      return Failure(Outcome::kBroken, game.path, extraction::ResultMessage(written), reason);
    if (written != script::WriteResult::kOk)
      return Failure(Outcome::kFailed, output, extraction::ResultMessage(written), reason);
  }
  return {Outcome::kExtracted, ""};
}

GameResult ExtractGame(const recgame::RecGameFile& game, const std::string& base, const Request& request,
                       platform::BudgetShare& share) {
  try {
    recgame::LoadOptions load = request.load;
    load.beforeHolding = [&](uint64_t inflatedLength) { share.Settle(inflatedLength); };
    extraction::CAiScript script;
    script.UseNames(request.names);
    script.UseNumbering(request.numbering);
    const recgame::ReadResult read = script.LoadAndParse(game.path, load);
    if (read == recgame::ReadResult::kNoAiScript) return {Outcome::kNoAiScript, ""};
    if (read != recgame::ReadResult::kOk) {
      std::ostringstream line;
      ReportReadFailure(line, game.path, read, script);
      return {read == recgame::ReadResult::kBroken ? Outcome::kBroken : Outcome::kFailed, line.str()};
    }
    std::ostringstream warning;
    WarnOfUnknownNumbering(warning, game.path, script);
    for (size_t n = 0; n < script.ScriptCount(); ++n) WarnOfMissingRules(warning, game.path, script, n);
    GameResult result = WriteScripts(script, game, base, request);
    result.report.insert(0, warning.str());
    return result;
  } catch (const std::bad_alloc&) {
    return {Outcome::kFailed, "", true};
  } catch (const std::exception& error) {
    return {Outcome::kFailed, "velkorin: " + platform::EscapeControls(error.what()) + "\n"};
  }
}

struct Tally {
  size_t done = 0;
  std::array<size_t, 4> byOutcome{};  // by Outcome

  void Count(Outcome outcome) {
    ++done;
    ++byOutcome[static_cast<size_t>(outcome)];
  }
  size_t Of(Outcome outcome) const { return byOutcome[static_cast<size_t>(outcome)]; }
  std::string Text() const {
    return std::to_string(Of(Outcome::kExtracted)) + " extracted, " + std::to_string(Of(Outcome::kNoAiScript)) +
           " without AI script, " + std::to_string(Of(Outcome::kBroken)) + " broken, " +
           std::to_string(Of(Outcome::kFailed)) + " failed";
  }
};

// The line that a terminal shows while the games are extracted, rewritten in place as each one ends.
class ProgressLine {
 public:
  // Shown on `err` only when that goes to a terminal.
  ProgressLine(std::ostream& err, size_t total)
      : m_terminal(platform::ShowsOnTerminal(err) ? &err : nullptr), m_total(total) {}

  void Count(Outcome outcome) {
    const std::lock_guard lock(m_mutex);
    m_tally.Count(outcome);
    Show(std::to_string(m_tally.done) + "/" + std::to_string(m_total) + ": " + m_tally.Text());
  }
  void Clear() {
    Show("");
    if (m_terminal != nullptr) *m_terminal << '\r' << std::flush;
  }

 private:
  // Spaces cover what is left of a longer line before.
  void Show(const std::string& text) {
    if (m_terminal == nullptr) return;
    *m_terminal << '\r' << text << std::string(m_shown > text.size() ? m_shown - text.size() : 0, ' ') << std::flush;
    m_shown = text.size();
  }

  std::ostream* m_terminal;
  size_t m_total;
  std::mutex m_mutex;
  Tally m_tally;
  size_t m_shown = 0;  // the length of the line now shown
};

int RunExtractAll(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const Request request = ReadRequest(arguments);
  std::string problem;
  const std::optional<std::vector<recgame::RecGameFile>> games = recgame::ListRecGameFolder(request.folder, &problem);
  if (!games) return Report(err, request.folder, "cannot read the folder", problem, kExitFileOpenError);
  if (!recgame::CreateFolder(request.outputFolder, &problem)) {
    return Report(err, request.outputFolder, extraction::ResultMessage(script::WriteResult::kCannotCreate), problem,
                  kExitFileWriteError);
  }

  std::vector<std::string> names;
  for (const recgame::RecGameFile& game : *games) names.push_back(game.name);
  const std::vector<std::string> bases = extraction::ScriptBases(names);
  std::vector<GameResult> results(games->size());
  ProgressLine progress(err, games->size());
  const platform::MemoryBudget budget = {
      kInFlightBudget, [&](size_t i) { return recgame::EstimateInFlight((*games)[i].path, request.load); }};
  platform::ForEachInParallel(
      games->size(), request.jobs,
      [&](size_t i, platform::BudgetShare& share) {
        try {
          results[i] = ExtractGame((*games)[i], bases[i], request, share);
        } catch (const std::bad_alloc&) {
          // Even the line that says why could not be made; made later.
          results[i].outcome = Outcome::kFailed;
          results[i].outOfMemory = true;
        }
        try {
          progress.Count(results[i].outcome);
        } catch (const std::bad_alloc&) {
          // The line shows the count again with the next game.
        }
      },
      budget);
  progress.Clear();

  // Reported in the folder's order, whichever game ended first.
  Tally tally;
  for (size_t i = 0; i < results.size(); ++i) {
    if (results[i].outOfMemory) Report(err, (*games)[i].path, extraction::kOutOfMemoryMessage, "", 0);
    err << results[i].report;
    tally.Count(results[i].outcome);
  }
  out << games->size() << (games->size() == 1 ? " recorded game: " : " recorded games: ") << tally.Text() << '\n';
  return tally.Of(Outcome::kBroken) + tally.Of(Outcome::kFailed) == 0 ? kExitOk : kExitGamesFailed;
}

}  // namespace

const Command kExtractAllCommand = {
    "extract-all",
    "FOLDER",
    "write the AI scripts of every recorded game of FOLDER into OUTDIR, as NAME.per, NAME-2.per, ... "
    "(NAME.mgx.per where two games would meet)",
    kOptions,
    RunExtractAll,
};

}  // namespace cli
