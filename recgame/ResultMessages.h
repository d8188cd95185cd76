#pragma once

#include <string_view>

// The words every front end shows for a failed stage, so the program and the command line say the
// same thing.
constexpr std::string_view kFileOpenErrorText = "File Open Error";
constexpr std::string_view kBrokenRecGameText = "Recgame file is broken";
constexpr std::string_view kFileReadErrorText = "File Read Error";
constexpr std::string_view kNoAiScriptText = "No AI script in this file";
constexpr std::string_view kFileWriteErrorText = "File Write Error";

// The message for a nonzero result of LoadRecGame.
constexpr std::string_view LoadFailureText(int result) {
  switch (result) {
    case 1:
      return kFileOpenErrorText;
    case 3:
      return kBrokenRecGameText;
    default:
      return kFileReadErrorText;
  }
}
