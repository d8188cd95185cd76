#include "script/GameJson.h"

namespace script {

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

std::string GameJson(std::string_view name, uint64_t size, const GameSummary& game) {
  std::string json = "{\"name\": " + JsonString(name) + ", \"size\": " + std::to_string(size) +
                     ", \"version\": " + (game.version ? JsonString(*game.version) : "null") + ", \"status\": \"" +
                     std::string(JsonStatus(game.status)) + "\", \"scripts\": [";
  for (const ScriptSummary& script : game.scripts) {
    json += &script == &game.scripts.front() ? "{\"rules\": " : ", {\"rules\": ";
    json += std::to_string(script.rules);
    if (script.sameAs) json += ", \"sameAs\": " + std::to_string(*script.sameAs);
    json += '}';
  }
  return json + "]}";
}

}  // namespace script
