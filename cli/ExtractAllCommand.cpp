// velkorin extract-all: the AI scripts of every recorded game of a folder, several games at a time.
#include <algorithm>
#include <array>
#include <exception>
#include <iostream>
#include <map>
#include <new>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "cli/Parallel.h"
#include "cli/RecGameFolder.h"
#include "platform/OsFile.h"
#include "script/AiScript.h"
#include "script/ResultMessages.h"

namespace {

constexpr std::array<OptionSpec, 4> kOptions = {{
    {"directory", 'd', "a folder"},
    {"jobs", 'j', "a number"},
    {"salvage"},
    kNamesOption,
}};

constexpr unsigned kMaxJobs = 64;
// The most memory the games being extracted hold at once, compressed and inflated headers together,
// however many run at a time; a game that needs more runs alone.
constexpr uint64_t kInFlightBudget = uint64_t{256} << 20;
// The most scripts a recorded game holds: one per player.
constexpr size_t kMaxScripts = 8;

struct Request {
  std::string folder;
  std::string outputFolder;
  unsigned jobs = 1;
  LoadOptions load;
  NameSet names = NameSet::kStandard;
};

Request ReadRequest(const Arguments& arguments) {
  if (arguments.Operands().size() != 1) {
    throw UsageProblem(arguments.Operands().empty() ? "no folder given" : "only one folder can be extracted at a time");
  }
  if (!arguments.Has("directory")) throw UsageProblem("no output folder given (-d OUTDIR)");
  std::string problem;
  const std::optional<unsigned> jobs =
      arguments.Count("jobs", std::min(ProcessorCount(), kMaxJobs), kMaxJobs, &problem);
  if (!jobs) throw UsageProblem(problem);
  return {arguments.Operands().front(), *arguments.Value("directory"), *jobs,
          {.salvageMissingLength = arguments.Has("salvage")}, ReadNameSet(arguments)};
}

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// "BASE.per" for the first script, "BASE-N.per" for the N-th.
std::string ScriptFileName(const std::string& base, size_t script) {
  return script == 0 ? base + ".per" : base + "-" + std::to_string(script + 1) + ".per";
}

// The base of each game's script files: its name without the extension, or with it where two games'
// script files could meet, also in a folder that ignores case ("a.mgx" and "A.mgz", or "a.mgx" with
// a second script and "a-2.mgx"). The bases are chosen before any game is read, so every run over
// the folder names its files alike.
std::vector<std::string> ScriptBases(const std::vector<RecGameFile>& games) {
  std::vector<std::string> bases;
  for (const RecGameFile& game : games) bases.push_back(game.name.substr(0, game.name.rfind('.')));
  std::vector<bool> keepsExtension(games.size(), false);
  for (bool changed = true; changed;) {
    std::map<std::string, size_t> claims;  // how many games could write each file name
    for (const std::string& base : bases) {
      for (size_t n = 0; n < kMaxScripts; ++n) ++claims[AsciiLower(ScriptFileName(base, n))];
    }
    changed = false;
    for (size_t i = 0; i < games.size(); ++i) {
      for (size_t n = 0; n < kMaxScripts && !keepsExtension[i]; ++n) {
        if (claims[AsciiLower(ScriptFileName(bases[i], n))] == 1) continue;
        bases[i] = games[i].name;
        keepsExtension[i] = changed = true;
      }
    }
  }
  return bases;
}

enum class Outcome { kExtracted, kNoAiScript, kBroken, kFailed };

struct GameResult {
  Outcome outcome = Outcome::kExtracted;
  std::string report;  // the line on standard error for a broken game or a failure
  bool outOfMemory = false;  // failed for lack of memory; its line is made once the memory is back
};

GameResult Failure(Outcome outcome, const std::string& path, std::string_view message, std::string_view reason) {
  std::ostringstream line;
  Report(line, path, message, reason, 0);
  return {outcome, line.str()};
}

GameResult ExtractGame(const RecGameFile& game, const std::string& base, const Request& request,
                       BudgetShare& share) {
  try {
    LoadOptions load = request.load;
    load.beforeHolding = [&](uint64_t inflatedLength) { share.Settle(inflatedLength); };
    CAiScript script;
    script.UseNames(request.names);
    const ReadResult read = LoadAndParse(script, game.path, load);
    if (read == ReadResult::kNoAiScript) return {Outcome::kNoAiScript, ""};
    if (read != ReadResult::kOk) {
      return Failure(read == ReadResult::kBroken ? Outcome::kBroken : Outcome::kFailed, game.path, ResultMessage(read),
                     script.LoadFailure());
    }
    for (size_t n = 0; n < script.ScriptCount(); ++n) {
      const std::string output = PathInFolder(request.outputFolder, ScriptFileName(base, n));
      const WriteResult written = script.WritePer(output, n);
      if (written == WriteResult::kTooLarge) {
        return Failure(Outcome::kBroken, game.path, ResultMessage(written), ResultReason(written));
      }
      if (written != WriteResult::kOk) {
        return Failure(Outcome::kFailed, output, ResultMessage(written), ResultReason(written));
      }
    }
    return {Outcome::kExtracted, ""};
  } catch (const std::bad_alloc&) {
    return {Outcome::kFailed, "", true};
  } catch (const std::exception& error) {
    return {Outcome::kFailed, std::string("velkorin: ") + error.what() + "\n"};
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
  // Shown on `err` only when it is the process's standard error and that is a terminal.
  ProgressLine(std::ostream& err, size_t total)
      : m_terminal(err.rdbuf() == std::cerr.rdbuf() && os::StandardErrorIsTerminal() ? &err : nullptr),
        m_total(total) {}

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
  const std::optional<std::vector<RecGameFile>> games = ListRecGameFolder(request.folder, &problem);
  if (!games) return Report(err, request.folder, "cannot read the folder", problem, kExitFileOpenError);
  if (!CreateFolder(request.outputFolder, &problem)) {
    return Report(err, request.outputFolder, ResultMessage(WriteResult::kCannotCreate), problem, kExitFileWriteError);
  }

  const std::vector<std::string> bases = ScriptBases(*games);
  std::vector<GameResult> results(games->size());
  ProgressLine progress(err, games->size());
  const MemoryBudget budget = {kInFlightBudget,
                               [&](size_t i) { return recgame::EstimateInFlight((*games)[i].path, request.load); }};
  ForEachInParallel(
      games->size(), request.jobs,
      [&](size_t i, BudgetShare& share) {
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
    if (results[i].outOfMemory) Report(err, (*games)[i].path, kOutOfMemoryMessage, "", 0);
    err << results[i].report;
    tally.Count(results[i].outcome);
  }
  out << games->size() << (games->size() == 1 ? " recorded game: " : " recorded games: ") << tally.Text() << '\n';
  return tally.Of(Outcome::kBroken) + tally.Of(Outcome::kFailed) == 0 ? kExitOk : kExitGamesFailed;
}

}  // namespace

const Command kExtractAllCommand = {
    "extract-all",
    "extract-all FOLDER -d OUTDIR [-j N] [--salvage] [--names full|standard]",
    kOptions,
    RunExtractAll,
};
