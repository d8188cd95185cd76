// The page's entry points into the core, called from the worker (web/worker.js) by name. A game is
// handed over as its leading bytes, as many as velkorin_bytes_to_extract or velkorin_bytes_to_describe
// ask for, with its length and name, and is read from memory (recgame/LoadFromMemory.h), framed as on disk.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/CodePage.h"
#include "platform/ConsoleText.h"
#include "recgame/LoadFromMemory.h"
#include "recgame/RecGameNames.h"
#include "extraction/AiScript.h"
#include "extraction/GameJson.h"
#include "extraction/GameSummary.h"
#include "extraction/PlayerText.h"
#include "extraction/ResultMessages.h"
#include "extraction/ScriptFileNames.h"
#include "extraction/SizeText.h"

namespace {

// What the page asks for, as "key=value" pairs separated by ";": names=standard|full, salvage=0|1.
struct Options {
  recgame::LoadOptions load;
  script::NameSet names = script::NameSet::kStandard;
  std::string problem;  // the first pair not understood
};

Options ReadOptions(std::string_view text) {
  Options options;
  while (!text.empty()) {
    const size_t end = text.find(';');
    const std::string_view pair = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (pair == "names=standard") {
      options.names = script::NameSet::kStandard;
    } else if (pair == "names=full") {
      options.names = script::NameSet::kFull;
    } else if (pair == "salvage=0" || pair == "salvage=1") {
      options.load.salvage = pair.back() == '1';
    } else if (!pair.empty() && options.problem.empty()) {
      options.problem = "unknown option " + std::string(pair);
    }
  }
  return options;
}

// The game's leading bytes as given, and the whole file's length.
struct Game {
  std::span<const uint8_t> leading;
  uint64_t length = 0;
  std::string_view name;
};

extraction::CAiScript::HeaderLoader LoaderOf(const Game& game, const recgame::LoadOptions& options) {
  return [=](recgame::RecGameHeader* header, std::string*) {
    return recgame::LoadRecGameFromMemory(game.leading, game.length, game.name, header, options);
  };
}

std::string g_text;                   // the last text returned, kept until the next call
std::vector<std::string> g_scripts;   // the scripts of the last extraction
std::string g_message;                // why the last extraction gave none

// Names cross as one text, separated by "/", which no file name holds.
std::vector<std::string> SplitNames(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const size_t end = text.find('/');
    names.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return names;
}

// Paths hold "/", so they cross as bytes, each path ended by a zero byte, which no path holds.
std::vector<std::string> SplitPaths(std::string_view bytes) {
  std::vector<std::string> paths;
  for (size_t end = bytes.find('\0'); end != std::string_view::npos; end = bytes.find('\0')) {
    paths.emplace_back(bytes.substr(0, end));
    bytes.remove_prefix(end + 1);
  }
  return paths;
}

const char* Keep(std::string text) {
  g_text = std::move(text);
  return g_text.c_str();
}

using Json = nlohmann::ordered_json;

Json Optional(const auto& value) { return value ? Json(*value) : Json(); }

// The players as read, which the page hands back to velkorin_show_player to show them in the code page
// chosen: the name as its bytes, the rest as stored, the script from 0.
Json PlayersRead(const extraction::GameSummary& summary) {
  if (!summary.players) return nullptr;
  Json players = Json::array();
  for (const recgame::Player& player : *summary.players) {
    players.push_back({{"number", player.number}, {"type", player.type},
                       {"nameBytes", std::vector<uint8_t>(player.name.begin(), player.name.end())},
                       {"civilization", player.civilization}, {"colour", player.colour}, {"team", player.team},
                       {"script", Optional(player.script)}});
  }
  return players;
}

// What `extract` would say of each script it writes, "" for a whole one.
Json ScriptNotes(const extraction::GameSummary& summary) {
  Json notes = Json::array();
  for (size_t n = 0; n < summary.scripts.size(); ++n)
    notes.push_back(extraction::MissingRulesMessage(n, summary.scripts[n]));
  return notes;
}

// Whether a game that is broken when read as it is can be read with salvage (a header-length field of 0,
// a script cut short), so that the page offers it there alone.
bool Salvageable(const Game& game, const extraction::GameSummary& summary, const recgame::LoadOptions& load) {
  if (load.salvage || summary.status != recgame::ReadResult::kBroken) return false;
  recgame::LoadOptions salvaging = load;
  salvaging.salvage = true;
  return extraction::SummarizeGame(LoaderOf(game, salvaging), true).status != recgame::ReadResult::kBroken;
}

}  // namespace

extern "C" {

// How many of the game's leading bytes velkorin_extract reads, by its first four (fewer when the file is
// that short), its length and its name.
EMSCRIPTEN_KEEPALIVE uint32_t velkorin_bytes_to_extract(const uint8_t* field, size_t size, double length, const char* name,
                                                        const char* options) {
  return recgame::LeadingBytesToLoad({field, size}, static_cast<uint64_t>(length), name, ReadOptions(options).load.salvage);
}

// The same for velkorin_describe, which reads a broken game salvaged too, to tell whether salvage would
// read it.
EMSCRIPTEN_KEEPALIVE uint32_t velkorin_bytes_to_describe(const uint8_t* field, size_t size, double length, const char* name) {
  return recgame::LeadingBytesToLoad({field, size}, static_cast<uint64_t>(length), name, true);
}

// {"game": <the game as `velkorin list --json` writes it>, "description": <its text in `velkorin list`,
// escaped as there>, "message": <the message the dialog shows, empty when it holds scripts>, "notes":
// <what `extract` says of each script>, "salvageable": <whether salvage would read it>, "players": <its
// players as read, or null when unknown>}.
EMSCRIPTEN_KEEPALIVE const char* velkorin_describe(const uint8_t* bytes, size_t size, double length, const char* name,
                                                   const char* options) {
  const Options read = ReadOptions(options);
  const Game game{{bytes, size}, static_cast<uint64_t>(length), name};
  const extraction::GameSummary summary = extraction::SummarizeGame(LoaderOf(game, read.load), read.load.salvage);
  const bool salvageable = Salvageable(game, summary, read.load);
  return Keep(
      "{\"game\": " + extraction::GameJson(name, game.length, summary, platform::kDefaultCodePage) +
      ", \"description\": " + extraction::JsonString(platform::EscapeControls(extraction::DescribeGame(summary))) +
      ", \"message\": " + extraction::JsonString(extraction::ResultMessage(summary.status)) +
      ", \"notes\": " + ScriptNotes(summary).dump() + ", \"salvageable\": " + (salvageable ? "true" : "false") +
      ", \"players\": " + PlayersRead(summary).dump() + "}");
}

// Extracts script `number` (from 1), or every script when it is 0. Returns the number of scripts
// written, each then at velkorin_script_text and velkorin_script_size; -1 with velkorin_message saying
// why when there are none.
EMSCRIPTEN_KEEPALIVE int velkorin_extract(const uint8_t* bytes, size_t size, double length, const char* name,
                                          size_t number, const char* options) {
  g_scripts.clear();
  g_message.clear();
  const Options read = ReadOptions(options);
  if (!read.problem.empty()) {
    g_message = read.problem;
    return -1;
  }
  try {
    extraction::CAiScript script;
    script.UseNames(read.names);
    const Game game{{bytes, size}, static_cast<uint64_t>(length), name};
    const recgame::ReadResult result = script.LoadAndParse(LoaderOf(game, read.load), read.load.salvage);
    if (result != recgame::ReadResult::kOk) {
      g_message = extraction::ResultMessage(result);
      if (!script.LoadFailure().empty()) g_message += ": " + script.LoadFailure();
      return -1;
    }
    if (number > script.ScriptCount()) {
      g_message = "No script " + std::to_string(number) + " in this file";
      return -1;
    }
    for (size_t n = number == 0 ? 0 : number - 1; n < (number == 0 ? script.ScriptCount() : number); ++n) {
      std::string text;
      const script::WriteResult written = script.WritePerText(&text, n);
      if (written != script::WriteResult::kOk) {
        g_scripts.clear();
        g_message = std::string(extraction::ResultMessage(written)) + ": " + std::string(script::ResultReason(written));
        return -1;
      }
      g_scripts.push_back(std::move(text));
    }
  } catch (const std::exception& error) {
    g_scripts.clear();
    g_message = std::string(extraction::ResultMessage(recgame::ReadResult::kCannotOpen)) + ": " + error.what();
    return -1;
  }
  return static_cast<int>(g_scripts.size());
}

EMSCRIPTEN_KEEPALIVE const char* velkorin_script_text(size_t index) { return g_scripts.at(index).data(); }
EMSCRIPTEN_KEEPALIVE size_t velkorin_script_size(size_t index) { return g_scripts.at(index).size(); }
// The message may name files, and is escaped as the command line shows it.
EMSCRIPTEN_KEEPALIVE const char* velkorin_message() { return Keep(platform::EscapeControls(g_message)); }
// Releases the scripts of the last extraction once the page has copied them.
EMSCRIPTEN_KEEPALIVE void velkorin_release() { g_scripts = std::vector<std::string>(); }

// A player of velkorin_describe's "players" as every front end words it, the name read in the code page
// named (in the default one when the name is none of kCodePages): {"name", "type", "civilization",
// "colour", "colourName" (null beyond the eight colours), "team", "description"}.
EMSCRIPTEN_KEEPALIVE const char* velkorin_show_player(int32_t number, int32_t type, const uint8_t* name, size_t nameSize,
                                                      uint8_t civilization, uint8_t colour, uint8_t team,
                                                      const char* codePage) {
  const recgame::Player player{number, type, std::string(reinterpret_cast<const char*>(name), nameSize),
                               civilization, colour, team, std::nullopt};
  const platform::CodePage* chosen = platform::FindCodePage(codePage);
  const platform::CodePage& page = chosen != nullptr ? *chosen : platform::kDefaultCodePage;
  const Json shown = {
      {"name", extraction::ShownName(player.name, page)},           {"type", extraction::PlayerTypeText(type)},
      {"civilization", extraction::CivilizationText(civilization)}, {"colour", extraction::ColourText(colour)},
      {"colourName", Optional(extraction::ColourName(colour))},     {"team", extraction::TeamText(team)},
      {"description", extraction::DescribePlayer(player, page)}};
  return Keep(shown.dump());
}

// The code pages names may be read in (kCodePages), the default first, separated by "/".
EMSCRIPTEN_KEEPALIVE const char* velkorin_code_pages() {
  static_assert(&platform::kDefaultCodePage == &platform::kCodePages[0]);
  std::string names;
  for (const platform::CodePage& page : platform::kCodePages)
    names += (names.empty() ? "" : "/") + std::string(page.name);
  return Keep(names);
}

// The recorded games among the paths (each ended by a zero byte), as indexes into them in list order,
// separated by "/".
EMSCRIPTEN_KEEPALIVE const char* velkorin_list_order(const char* paths, size_t size) {
  std::string order;
  for (const size_t index : recgame::ListedRecGames(SplitPaths({paths, size}))) {
    order += (order.empty() ? "" : "/") + std::to_string(index);
  }
  return Keep(order);
}

// A name (or path) as the list shows it, escaped as `velkorin list` shows it.
EMSCRIPTEN_KEEPALIVE const char* velkorin_shown_name(const char* name) { return Keep(platform::EscapeControls(name)); }

// A file's size as the list shows it, "919.6 kB", and exactly, "919,603 bytes"; a double holds any
// file's size exactly.
EMSCRIPTEN_KEEPALIVE const char* velkorin_size_text(double bytes) {
  return Keep(extraction::SizeText(static_cast<uint64_t>(bytes)));
}
EMSCRIPTEN_KEEPALIVE const char* velkorin_exact_size_text(double bytes) {
  return Keep(extraction::ExactSizeText(static_cast<uint64_t>(bytes)));
}

// Each game's script files, side by side, as `velkorin extract-all` names them for games of these names
// in this order: for each game its eight possible names, the first script's first.
EMSCRIPTEN_KEEPALIVE const char* velkorin_script_file_names(const char* names) {
  std::string files;
  for (const std::string& base : extraction::ScriptBases(SplitNames(names))) {
    for (size_t n = 0; n < extraction::kMaxScripts; ++n)
      files += (files.empty() ? "" : "/") + extraction::ScriptFileName(base, n);
  }
  return Keep(files);
}

// The program's version, from project(Velkorin VERSION …).
EMSCRIPTEN_KEEPALIVE const char* velkorin_version() { return VELKORIN_VERSION; }

}  // extern "C"
