#include "extraction/GameJson.h"

#include <algorithm>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Utf8.h"
#include "extraction/PlayerText.h"

namespace extraction {

namespace {

// Members keep the order they are written in.
using Json = nlohmann::ordered_json;

// JSON text is UTF-8: a byte of a name that is no part of valid UTF-8 is written as U+FFFD.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

// A name as members of an object: "KEY" with the readable name, and where the name is not valid UTF-8
// also "KEYBytes" with its exact bytes, so that no two names come out the same and a program can
// still open the file.
void AddName(Json& object, const std::string& key, const std::string& name) {
  object[key] = name;
  if (!utf8::IsValid(name)) object[key + "Bytes"] = std::vector<uint8_t>(name.begin(), name.end());
}

Json Optional(const auto& value) { return value ? Json(*value) : Json(); }

Json PlayerJson(const recgame::Player& player, const platform::CodePage& names) {
  Json object = Json::object();
  object["number"] = player.number;
  object["type"] = PlayerTypeText(player.type);
  object["name"] = platform::DecodeCodePage(player.name, names).value_or(player.name);
  const bool ascii = std::all_of(player.name.begin(), player.name.end(), [](char c) { return c > 0 && c < 0x7F; });
  if (!ascii) object["nameBytes"] = std::vector<uint8_t>(player.name.begin(), player.name.end());
  object["civilization"] = player.civilization;
  object["civilizationName"] = Optional(CivilizationName(player.civilization));
  object["color"] = player.colour;
  object["colorName"] = Optional(ColourName(player.colour));
  object["team"] = Optional(TeamNumber(player.team));
  return object;
}

std::string_view JsonStatus(recgame::ReadResult status) {
  switch (status) {
    case recgame::ReadResult::kOk:
      return "ok";
    case recgame::ReadResult::kNoAiScript:
      return "no-ai-script";
    case recgame::ReadResult::kBroken:
      return "broken";
    case recgame::ReadResult::kCannotOpen:
      return "cannot-open";
  }
  return "cannot-open";
}

}  // namespace

std::string JsonString(std::string_view text) { return Dump(Json(std::string(text))); }

std::string GameJson(const std::string& name, uint64_t size, const GameSummary& game, const platform::CodePage& names) {
  Json object = Json::object();
  AddName(object, "name", name);
  object["size"] = size;
  object["version"] = game.version ? Json(*game.version) : Json();
  object["numbering"] = game.numbering ? Json(script::NumberingJsonName(*game.numbering)) : Json();
  object["status"] = JsonStatus(game.status);
  object["scripts"] = Json::array();
  for (size_t n = 0; n < game.scripts.size(); ++n) {
    Json entry = {{"rules", game.scripts[n].rules}};
    // What the file claims, where the script does not hold it: zero or less, or more than is there.
    if (game.scripts[n].claimed != static_cast<int64_t>(game.scripts[n].rules)) entry["claims"] = game.scripts[n].claimed;
    if (game.scripts[n].sameAs) entry["sameAs"] = *game.scripts[n].sameAs;
    const recgame::Player* player = PlayerOfScript(game, n);
    entry["player"] = player != nullptr ? Json(player->number) : Json();
    object["scripts"].push_back(entry);
  }
  object["players"] = Json();
  if (game.players) {
    object["players"] = Json::array();
    for (const recgame::Player& player : *game.players) object["players"].push_back(PlayerJson(player, names));
  }
  return Dump(object);
}

std::string ListingJsonOpening(const std::optional<std::string>& folder) {
  Json head = Json::object();
  head["folder"] = Json();
  if (folder) AddName(head, "folder", *folder);
  std::string text = Dump(head);
  text.back() = ',';  // the object goes on with its games
  return text + "\"games\":[";
}

}  // namespace extraction
