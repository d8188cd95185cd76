#include "script/GameJson.h"

#include <vector>

#include <nlohmann/json.hpp>

#include "platform/ConsoleText.h"

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

}  // namespace

namespace script {

std::string JsonString(std::string_view text) { return Dump(Json(std::string(text))); }

std::string GameJson(const std::string& name, uint64_t size, const GameSummary& game) {
  Json object = Json::object();
  AddName(object, "name", name);
  object["size"] = size;
  object["version"] = game.version ? Json(*game.version) : Json();
  object["numbering"] = game.numbering ? Json(NumberingJsonName(*game.numbering)) : Json();
  object["status"] = JsonStatus(game.status);
  object["scripts"] = Json::array();
  for (const ScriptSummary& script : game.scripts) {
    Json entry = {{"rules", script.rules}};
    if (script.sameAs) entry["sameAs"] = *script.sameAs;
    object["scripts"].push_back(entry);
  }
  return Dump(object);
}

std::string ListingJsonOpening(const std::string& folder) {
  Json head = Json::object();
  AddName(head, "folder", folder);
  std::string text = Dump(head);
  text.back() = ',';  // the object goes on with its games
  return text + "\"games\":[";
}

}  // namespace script
