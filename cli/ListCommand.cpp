// velkorin list: the recorded games of a folder, each with its AI scripts or why it has none.
#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "cli/Parallel.h"
#include "cli/RecGameFolder.h"
#include "cli/SaveGameFolder.h"
#include "script/AiScript.h"

namespace {

constexpr std::array<OptionSpec, 2> kOptions = {{
    {"json"},
    {"salvage"},
}};

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

void WriteText(std::ostream& out, const std::string& folder, const std::vector<RecGameFile>& games,
               const std::vector<GameSummary>& summaries) {
  out << folder << ": " << games.size() << (games.size() == 1 ? " recorded game\n" : " recorded games\n");
  size_t nameWidth = 0;
  size_t sizeWidth = 0;
  size_t versionWidth = 0;
  size_t numberingWidth = 0;
  for (size_t i = 0; i < games.size(); ++i) {
    nameWidth = std::max(nameWidth, Width(games[i].name));
    sizeWidth = std::max(sizeWidth, std::to_string(games[i].size).size());
    versionWidth = std::max(versionWidth, summaries[i].version.value_or("").size());
    numberingWidth = std::max(numberingWidth, NumberingColumn(summaries[i]).size());
  }
  for (size_t i = 0; i < games.size(); ++i) {
    const std::string size = std::to_string(games[i].size);
    const std::string version = summaries[i].version.value_or("");
    const std::string_view numbering = NumberingColumn(summaries[i]);
    out << games[i].name << std::string(nameWidth - Width(games[i].name), ' ') << "  "
        << std::string(sizeWidth - size.size(), ' ') << size << "  " << version
        << std::string(versionWidth - version.size(), ' ') << "  " << numbering
        << std::string(numberingWidth - numbering.size(), ' ') << "  " << Description(summaries[i]) << '\n';
  }
}

// A JSON string: quotes, backslashes and control characters escaped; other bytes, UTF-8, as they are.
std::string JsonString(std::string_view text) {
  constexpr std::string_view kHex = "0123456789abcdef";
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 0xF];
    } else {
      json += c;
    }
  }
  return json + '"';
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

// One game to a line, so that the output reads well and still parses as one JSON object.
void WriteJson(std::ostream& out, const std::string& folder, const std::vector<RecGameFile>& games,
               const std::vector<GameSummary>& summaries) {
  out << "{\"folder\": " << JsonString(folder) << ", \"games\": [";
  for (size_t i = 0; i < games.size(); ++i) {
    const GameSummary& game = summaries[i];
    out << (i == 0 ? "\n" : ",\n") << "  {\"name\": " << JsonString(games[i].name) << ", \"size\": " << games[i].size
        << ", \"version\": " << (game.version ? JsonString(*game.version) : "null") << ", \"numbering\": "
        << (game.numbering ? JsonString(NumberingJsonName(*game.numbering)) : "null") << ", \"status\": \""
        << JsonStatus(game.status) << "\", \"scripts\": [";
    for (const ScriptSummary& script : game.scripts) {
      out << (&script == &game.scripts.front() ? "" : ", ") << "{\"rules\": " << script.rules;
      if (script.sameAs) out << ", \"sameAs\": " << *script.sameAs;
      out << '}';
    }
    out << "]}";
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
    "list [FOLDER] [--json] [--salvage]",
    kOptions,
    RunList,
};
