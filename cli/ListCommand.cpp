// velkorin list: the recorded games of a folder, each with its AI scripts or why it has none.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "cli/Parallel.h"
#include "cli/RecGameFolder.h"
#include "cli/SaveGameFolder.h"
#include "platform/ConsoleText.h"
#include "script/AiScript.h"

namespace {

// Members keep the order they are written in.
using Json = nlohmann::ordered_json;

constexpr OptionSpec kOptions[] = {
    {"json", 0, "", "write the list as one JSON object, one game to a line"},
    kSalvageOption,
};

struct ScriptSummary {
  size_t rules = 0;
  std::optional<size_t> sameAs;  // the number (from 1) of the first earlier script with the same rules
};

struct GameSummary {
  ReadResult status = ReadResult::kOk;
  std::optional<std::string> version;  // nothing when the header could not be read
  std::optional<NumberingKind> numbering;  // likewise
  std::string reason;                  // why it cannot be opened, when the message alone does not say
  std::vector<ScriptSummary> scripts;
};

std::vector<ScriptSummary> SummarizeScripts(const CAiScript& script) {
  std::vector<ScriptSummary> scripts;
  for (size_t n = 0; n < script.ScriptCount(); ++n) {
    ScriptSummary summary{script.Rules(n).size(), std::nullopt};
    for (size_t earlier = 0; earlier < n && !summary.sameAs; ++earlier) {
      if (std::ranges::equal(script.Rules(earlier), script.Rules(n))) summary.sameAs = earlier + 1;
    }
    scripts.push_back(summary);
  }
  return scripts;
}

GameSummary Summarize(const RecGameFile& game, const LoadOptions& load) {
  GameSummary summary;
  try {
    CAiScript script;
    summary.status = script.LoadRecGame(game.path, load);
    if (summary.status == ReadResult::kOk) {
      summary.version = VersionText(script.Header());
      summary.numbering = script.Numbering().kind;
      summary.status = script.ParseAi();
    }
    summary.reason = script.LoadFailure();
    summary.scripts = SummarizeScripts(script);
  } catch (const std::exception& error) {
    // A read that fails once the file is open leaves the game as unreadable as one that never opened.
    summary = {ReadResult::kCannotOpen, std::nullopt, std::nullopt, error.what(), {}};
  }
  return summary;
}

// "4 scripts: 608, 610, 630 (same as 1), 612 rules", or why the game has none.
std::string Description(const GameSummary& game) {
  switch (game.status) {
    case ReadResult::kNoAiScript:
      return "no AI script";
    case ReadResult::kBroken:
      return "broken";
    case ReadResult::kCannotOpen:
      return game.reason.empty() ? "cannot be opened" : "cannot be opened: " + game.reason;
    case ReadResult::kOk:
      break;
  }
  std::string text = std::to_string(game.scripts.size()) + (game.scripts.size() == 1 ? " script: " : " scripts: ");
  for (const ScriptSummary& script : game.scripts) {
    if (&script != &game.scripts.front()) text += ", ";
    text += std::to_string(script.rules);
    if (script.sameAs) text += " (same as " + std::to_string(*script.sameAs) + ")";
  }
  return text + " rules";
}

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
        << std::string(numberingWidth - numbering.size(), ' ') << "  " << EscapeControls(Description(summaries[i]))
        << '\n';
  }
}

// JSON text is UTF-8: a byte of a name that is no part of valid UTF-8 is written as U+FFFD.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

// A name as members of an object: "KEY" with the readable name, and where the name is not valid UTF-8
// also "KEYBytes" with its exact bytes as numbers, so that no two names come out the same and a
// program can still open the file.
void AddName(Json& object, const std::string& key, const std::string& name) {
  object[key] = name;
  if (!IsValidUtf8(name)) object[key + "Bytes"] = std::vector<uint8_t>(name.begin(), name.end());
}

std::string_view JsonStatus(ReadResult status) {
  switch (status) {
    case ReadResult::kOk:
      return "ok";
    case ReadResult::kNoAiScript:
      return "no-ai-script";
    case ReadResult::kBroken:
      return "broken";
    case ReadResult::kCannotOpen:
      return "cannot-open";
  }
  return "cannot-open";
}

Json GameObject(const RecGameFile& file, const GameSummary& game) {
  Json object = Json::object();
  AddName(object, "name", file.name);
  object["size"] = file.size;
  object["version"] = game.version ? Json(*game.version) : Json();
  object["numbering"] = game.numbering ? Json(NumberingJsonName(*game.numbering)) : Json();
  object["status"] = JsonStatus(game.status);
  object["scripts"] = Json::array();
  for (const ScriptSummary& script : game.scripts) {
    Json entry = {{"rules", script.rules}};
    if (script.sameAs) entry["sameAs"] = *script.sameAs;
    object["scripts"].push_back(entry);
  }
  return object;
}

// One JSON object, each game's on a line of its own, so that the output reads well and a line-wise
// tool can take it game by game.
void WriteJson(std::ostream& out, const std::string& folder, const std::vector<RecGameFile>& games,
               const std::vector<GameSummary>& summaries) {
  Json head = Json::object();
  AddName(head, "folder", folder);
  std::string text = Dump(head);
  text.back() = ',';  // the object goes on with its games
  out << text << "\"games\":[";
  for (size_t i = 0; i < games.size(); ++i) out << (i == 0 ? "\n  " : ",\n  ") << Dump(GameObject(games[i], summaries[i]));
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
  const LoadOptions load{.salvageMissingLength = arguments.Has("salvage")};
  std::string problem;
  const std::optional<std::vector<RecGameFile>> games = ListRecGameFolder(folder, &problem);
  if (!games) return Report(err, folder, "cannot read the folder", problem, kExitFileOpenError);

  std::vector<GameSummary> summaries(games->size());
  ForEachInParallel(games->size(), ProcessorCount(), [&](size_t i) { summaries[i] = Summarize((*games)[i], load); });
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
