#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "recgame/ReadResult.h"
#include "script/ScriptText.h"

namespace extraction {

// The words every front end shows for a result, so the program and the command line say the same.

// What an extraction that could not have the memory it needed says.
inline constexpr std::string_view kOutOfMemoryMessage = "Not enough memory";

// Empty for kOk.
constexpr std::string_view ResultMessage(recgame::ReadResult result) {
  switch (result) {
    case recgame::ReadResult::kOk:
      return "";
    case recgame::ReadResult::kCannotOpen:
      return "File Open Error";
    case recgame::ReadResult::kNoAiScript:
      return "No AI script in this file";
    case recgame::ReadResult::kBroken:
      return "Recgame file is broken";
  }
  return "";
}

// Empty for kOk.
constexpr std::string_view ResultMessage(script::WriteResult result) {
  switch (result) {
    case script::WriteResult::kOk:
      return "";
    case script::WriteResult::kCannotCreate:
    case script::WriteResult::kIsRecGame:
    case script::WriteResult::kReadOnly:
      return "File Write Error";
    case script::WriteResult::kTooLarge:
      return ResultMessage(recgame::ReadResult::kBroken);
  }
  return "";
}

// A script (from 0) whose rule count claims more rules than the file holds: "AI script 1 is cut short:
// it claims 32767 rules, the file holds 12 whole ones".
inline std::string CutShortMessage(size_t script, int16_t claimed, size_t whole) {
  return "AI script " + std::to_string(script + 1) + " is cut short: it claims " + std::to_string(claimed) +
         " rules, the file holds " + std::to_string(whole) + " whole " + (whole == 1 ? "one" : "ones");
}

// The same script once salvaged: "AI script 1 was cut short: 12 whole rules of the 32767 it claims".
inline std::string SalvagedMessage(size_t script, int16_t claimed, size_t whole) {
  return "AI script " + std::to_string(script + 1) + " was cut short: " + std::to_string(whole) + " whole " +
         (whole == 1 ? "rule" : "rules") + " of the " + std::to_string(claimed) + " it claims";
}

// A script whose rule count is zero or less, which gives an empty script: "AI script 1 holds no
// rules (the file claims -1)".
inline std::string EmptyScriptMessage(size_t script, int16_t claimed) {
  return "AI script " + std::to_string(script + 1) + " holds no rules" +
         (claimed < 0 ? " (the file claims " + std::to_string(claimed) + ")" : "");
}

}  // namespace extraction
