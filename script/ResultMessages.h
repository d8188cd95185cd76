#pragma once

#include <string_view>

#include "recgame/ReadResult.h"
#include "script/ScriptText.h"

// The words every front end shows for a result, so the program and the command line say the same.

// What an extraction that could not have the memory it needed says.
inline constexpr std::string_view kOutOfMemoryMessage = "Not enough memory";

// Empty for kOk.
constexpr std::string_view ResultMessage(ReadResult result) {
  switch (result) {
    case ReadResult::kOk:
      return "";
    case ReadResult::kCannotOpen:
      return "File Open Error";
    case ReadResult::kNoAiScript:
      return "No AI script in this file";
    case ReadResult::kBroken:
      return "Recgame file is broken";
  }
  return "";
}

// Empty for kOk.
constexpr std::string_view ResultMessage(WriteResult result) {
  switch (result) {
    case WriteResult::kOk:
      return "";
    case WriteResult::kCannotCreate:
    case WriteResult::kIsRecGame:
    case WriteResult::kReadOnly:
      return "File Write Error";
    case WriteResult::kTooLarge:
      return ResultMessage(ReadResult::kBroken);
  }
  return "";
}

// What the command line adds to the message where the message alone does not say why; for
// kCannotCreate the system's reason comes with the result instead.
constexpr std::string_view ResultReason(WriteResult result) {
  switch (result) {
    case WriteResult::kIsRecGame:
      return "it is the recorded game itself";
    case WriteResult::kTooLarge:
      return "its script would take more than 1 GiB of text";
    case WriteResult::kReadOnly:
      return "it is read-only";
    case WriteResult::kOk:
    case WriteResult::kCannotCreate:
      return "";
  }
  return "";
}
