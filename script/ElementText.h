#pragma once

#include <string>

#include "recgame/AiScript.h"

// Text pieces shared by the element formatters.

// An id as the "%02X" placeholder prints it: widened to 32 bits with its sign, upper-case
// hexadecimal, at least two digits.
std::string HexId(int16_t id);

// The text of a fact or action that no table covers. It keeps the id and all four parameters, so
// nothing of the element is lost from the script: "(%02X %d %d %d %d);not supported".
std::string NotSupportedText(const AiElement& element);
