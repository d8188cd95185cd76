// velkorin extract: the AI scripts of one recorded game.
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "platform/BinaryFile.h"
#include "platform/CodePage.h"
#include "platform/OsFile.h"
#include "platform/TextFile.h"
#include "recgame/Players.h"
#include "extraction/AiScript.h"
#include "extraction/GameSummary.h"
#include "extraction/PlayerText.h"
#include "extraction/ResultMessages.h"
#include "extraction/ScriptFileNames.h"
#include "extraction/ScriptOutputs.h"

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"output", 'o', "OUT", "write the script to OUT instead of standard output (- is standard output)"},
    {"script", 0, "N", "write the N-th script (from 1; the first by default)"},
    {"player", 0, "N", "write the script of player N (1 to 8), a computer player (not with --script or --all)"},
    {"all", 0, "", "write every script: to OUT-1.per, OUT-2.per, ... (OUT without .per), or one after another to "
                   "standard output, each after a line '; script N of M', which also names the player who ran it when "
                   "the players are known"},
    kSalvageOption,
    kNamesOption,
    kNumberingOption,
    kEncodingOption,
};

// Of these, one at most: each chooses the scripts.
constexpr std::string_view kChoicesOfScripts[] = {"script", "player", "all"};

// Which scripts go where: one to OUT, or each to a file of its own named after BASE. A player's is
// one script, known once the game is read.
struct Request {
  std::string recGame;
  std::string output = "-";
  std::optional<size_t> script;  // 0-based; every script when empty
  std::optional<int32_t> player;  // whose script, in place of `script`
  recgame::LoadOptions load;
  script::NameSet names = script::NameSet::kStandard;
  script::NumberingChoice numbering = script::NumberingChoice::kAuto;
  const platform::CodePage* codePage = &platform::kDefaultCodePage;  // of the players' names
};

void CheckOneChoiceOfScripts(const Arguments& arguments) {
  std::vector<std::string_view> given;
  for (const std::string_view choice : kChoicesOfScripts) {
    if (arguments.Has(choice)) given.push_back(choice);
  }
  if (given.size() > 1) {
    throw UsageProblem("--" + std::string(given[0]) + " and --" + std::string(given[1]) + " exclude each other");
  }
}

Request ReadRequest(const Arguments& arguments) {
  if (arguments.Operands().size() != 1) {
    throw UsageProblem(arguments.Operands().empty() ? "no recorded game given"
                                                    : "only one recorded game can be extracted at a time");
  }
  CheckOneChoiceOfScripts(arguments);
  std::string problem;
  const std::optional<unsigned> script =
      arguments.Count("script", 1, static_cast<unsigned>(extraction::kMaxScripts), &problem);
  if (!script) throw UsageProblem(problem);
  const std::optional<unsigned> player =
      arguments.Count("player", 1, static_cast<unsigned>(recgame::kMaxPlayerNumber), &problem);
  if (!player) throw UsageProblem(problem);

  Request request;
  request.recGame = arguments.Operands().front();
  request.output = arguments.Value("output").value_or("-");
  if (arguments.Has("player")) {
    request.player = static_cast<int32_t>(*player);
  } else if (!arguments.Has("all")) {
    request.script = *script - 1;
  }
  request.load.salvage = arguments.Has("salvage");
  request.names = ReadNameSet(arguments);
  request.numbering = ReadNumberingChoice(arguments);
  request.codePage = &ReadCodePage(arguments);
  return request;
}

int ReportTooLarge(std::ostream& err, const std::string& recGame) {
  return Report(err, recGame, extraction::ResultMessage(script::WriteResult::kTooLarge),
                script::ResultReason(script::WriteResult::kTooLarge), ExitStatus(script::WriteResult::kTooLarge));
}

int ReportWriteFailure(std::ostream& err, const std::string& output, script::WriteResult written,
                       const std::string& reason) {
  return Report(err, output, extraction::ResultMessage(written),
                reason.empty() ? script::ResultReason(written) : reason, ExitStatus(written));
}

// "; script 2 of 4: player 3, NAME, Vikings, green, team 2", without the player when it is unknown.
std::string ScriptHeading(size_t script, size_t scripts, const recgame::Player* player,
                          const platform::CodePage& names) {
  std::string heading = "; script " + std::to_string(script + 1) + " of " + std::to_string(scripts);
  if (player != nullptr) heading += ": " + extraction::DescribePlayer(*player, names);
  return heading + "\n";
}

// Standard output gets the bytes a file would; several scripts follow one another, each after a
// comment line that says which it is and whose. Nothing is written unless every script fits.
int WriteToStandardOutput(const extraction::CAiScript& script, const Request& request,
                          const std::vector<size_t>& scripts) {
  platform::BinaryFile standardOutput;
  standardOutput.AttachStandardOutput();
  platform::TextFile text(standardOutput);
  const std::optional<std::vector<recgame::Player>> players = script.Players();
  for (const size_t n : scripts) {
    if (!request.script) {
      text.WriteString(ScriptHeading(n, scripts.size(), extraction::PlayerOfScript(players, n), *request.codePage));
    }
    script.WritePer(text, n);
  }
  text.Flush();
  return kExitOk;
}

// "players 2, 3, 5 ran AI scripts", for a message: the players whose scripts the game holds.
std::string PlayersWithScripts(const std::vector<recgame::Player>& players) {
  std::vector<std::string> numbers;
  for (const recgame::Player& player : players) {
    if (player.script) numbers.push_back(std::to_string(player.number));
  }
  std::string text = numbers.size() == 1 ? "player " : "players ";
  for (const std::string& number : numbers) text += (&number == &numbers.front() ? "" : ", ") + number;
  return text + (numbers.size() == 1 ? " ran an AI script" : " ran AI scripts");
}

// The script of player `number`; nothing, with `problem` saying why, when the player ran none.
std::optional<size_t> ScriptOfPlayer(const extraction::CAiScript& script, int32_t number, std::string* problem) {
  const std::optional<std::vector<recgame::Player>> players = script.Players();
  if (!players) {
    *problem = "its players are not known; choose a script with --script";
    return std::nullopt;
  }
  const recgame::Player* numbered = nullptr;
  for (const recgame::Player& player : *players) {
    if (player.number != number) continue;
    if (player.script) return player.script;
    numbered = &player;
  }
  const std::string who = "player " + std::to_string(number);
  if (numbered == nullptr) {
    *problem = "there is no " + who;
  } else {
    *problem = who + (numbered->type == recgame::kHumanPlayer ? " is human" : " ran no AI script");
  }
  *problem += "; " + PlayersWithScripts(*players);
  return std::nullopt;
}

bool StandardOutputIs(const std::string& path) {
  const os::PathStatus file = os::StatusOf(path);
  const std::optional<os::FileIdentity> standardOutput = os::IdentityOf(os::StandardOutput());
  return file.kind == os::PathKind::kRegular && standardOutput == file.identity;
}

int Extract(Request request, std::ostream& err) {
  if (request.output == "-" && StandardOutputIs(request.recGame)) {
    return ReportWriteFailure(err, request.recGame, script::WriteResult::kIsRecGame, "");
  }
  extraction::CAiScript script;
  script.UseNames(request.names);
  script.UseNumbering(request.numbering);
  const recgame::ReadResult read = script.LoadAndParse(request.recGame, request.load);
  if (read != recgame::ReadResult::kOk) return ReportReadFailure(err, request.recGame, read, script);
  if (request.script && *request.script >= script.ScriptCount()) {
    return Report(err, request.recGame, "No script " + std::to_string(*request.script + 1) + " in this file",
                  "it holds " + std::to_string(script.ScriptCount()), kExitNoSuchScript);
  }
  if (request.player) {
    std::string problem;
    request.script = ScriptOfPlayer(script, *request.player, &problem);
    if (!request.script) return Report(err, request.recGame, problem, "", kExitUsage);
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
  const std::vector<extraction::ScriptOutput> outputs =
      request.script ? std::vector<extraction::ScriptOutput>{{*request.script, request.output}}
                     : extraction::NumberedOutputs(request.output, script.ScriptCount());
  const extraction::ScriptsWritten written = extraction::WriteScripts(script, outputs);
  if (written.result == script::WriteResult::kTooLarge) return ReportTooLarge(err, request.recGame);
  if (written.result != script::WriteResult::kOk) {
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
    return Report(err, request.recGame, extraction::kOutOfMemoryMessage, "", kExitOutOfMemory);
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

}  // namespace cli
