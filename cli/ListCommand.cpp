// velkorin list: the recorded games of a folder, each with its AI scripts or why it has none.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "platform/ConsoleText.h"
#include "platform/Parallel.h"
#include "platform/SaveGameFolder.h"
#include "recgame/RecGameFolder.h"
#include "script/GameJson.h"
#include "script/GameSummary.h"

namespace {

constexpr OptionSpec kOptions[] = {
    {"json", 0, "", "write the list as one JSON object, one game to a line"},
    kSalvageOption,
};

// The columns a UTF-8 text takes: one for each character, that is each byte but continuation bytes.
size_t Width(const std::string& text) {
  const auto startsCharacter = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
  return static_cast<size_t>(std::ranges::count_if(text, startsCharacter));
}

std::string_view NumberingColumn(const GameSummary& game) {
  return game.numbering ? NumberingName(*game.numbering) : "";
}

// Names, and reasons that may hold names, with their control characters escaped: no name can end a
// line of the listing or reach the terminal as a command.
void WriteText(std::ostream& out, const std::string& folder, const std::vector<RecGameFile>& games,
               const std::vector<GameSummary>& summaries) {
  out << EscapeControls(folder) << ": " << games.size()
      << (games.size() == 1 ? " recorded game\n" : " recorded games\n");
  std::vector<std::string> names;
  size_t nameWidth = 0;
  size_t sizeWidth = 0;
  size_t versionWidth = 0;
  size_t numberingWidth = 0;
  for (size_t i = 0; i < games.size(); ++i) {
    names.push_back(EscapeControls(games[i].name));
    nameWidth = std::max(nameWidth, Width(names[i]));
    sizeWidth = std::max(sizeWidth, std::to_string(games[i].size).size());
    versionWidth = std::max(versionWidth, summaries[i].version.value_or("").size());
    numberingWidth = std::max(numberingWidth, NumberingColumn(summaries[i]).size());
  }
  for (size_t i = 0; i < games.size(); ++i) {
    const std::string size = std::to_string(games[i].size);
    const std::string version = summaries[i].version.value_or("");
    const std::string_view numbering = NumberingColumn(summaries[i]);
    out << names[i] << std::string(nameWidth - Width(names[i]), ' ') << "  " << std::string(sizeWidth - size.size(), ' ')
        << size << "  " << version << std::string(versionWidth - version.size(), ' ') << "  " << numbering
        << std::string(numberingWidth - numbering.size(), ' ') << "  " << EscapeControls(script::DescribeGame(summaries[i]))
        << '\n';
  }
}

// One JSON object, each game's on a line of its own, so that the output reads well and a line-wise
// tool can take it game by game.
void WriteJson(std::ostream& out, const std::string& folder, const std::vector<RecGameFile>& games,
               const std::vector<GameSummary>& summaries) {
  out << script::ListingJsonOpening(folder);
  for (size_t i = 0; i < games.size(); ++i) {
    out << (i == 0 ? "\n  " : ",\n  ") << script::GameJson(games[i].name, games[i].size, summaries[i], kDefaultCodePage);
  }
  out << (games.empty() ? "]}\n" : "\n]}\n");
}

std::string FolderToList(const Arguments& arguments) {
  if (arguments.Operands().size() > 1) throw UsageProblem("only one folder can be listed at a time");
  if (!arguments.Operands().empty()) return arguments.Operands().front();
  const std::optional<std::string> saveGame = FindSaveGameFolder();
  if (!saveGame) throw UsageProblem("no FOLDER given, and the game's SaveGame folder cannot be found; give FOLDER");
  return *saveGame;
}

int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const std::string folder = FolderToList(arguments);
  const LoadOptions load{.salvage = arguments.Has("salvage")};
  std::string problem;
  const std::optional<std::vector<RecGameFile>> games = ListRecGameFolder(folder, &problem);
  if (!games) return Report(err, folder, "cannot read the folder", problem, kExitFileOpenError);

  std::vector<GameSummary> summaries(games->size());
  ForEachInParallel(games->size(), ProcessorCount(), [&](size_t i) { summaries[i] = script::SummarizeGame((*games)[i].path, load); });
  if (arguments.Has("json")) {
    WriteJson(out, folder, *games, summaries);
  } else {
    WriteText(out, folder, *games, summaries);
  }
  return kExitOk;
}

}  // namespace

const Command kListCommand = {
    "list",
    "[FOLDER]",
    "list the recorded games of FOLDER (*.mg?, in any case), each with its size, its version text and the rule "
    "counts of its AI scripts, or why it has none; without FOLDER, the game's SaveGame folder (on Linux, in the "
    "Wine prefix)",
    kOptions,
    RunList,
};
