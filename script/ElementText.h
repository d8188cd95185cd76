#pragma once

#include <cstdint>

#include "recgame/AiRule.h"
#include "script/TextBuffer.h"

namespace script {

// Text pieces shared by the element formatters, appended to the text being built.

// A number in signed decimal.
void AppendDecimal(TextBuffer& text, int32_t value);

// An id as the "%02X" placeholder prints it: widened to 32 bits with its sign, upper-case
// hexadecimal, at least two digits.
void AppendHexId(TextBuffer& text, int16_t id);

// The text of a fact or action that no table covers. It keeps the id and all four parameters, so
// nothing of the element is lost from the script: "(%02X %d %d %d %d);not supported".
void AppendNotSupported(TextBuffer& text, const recgame::AiElement& element);

}  // namespace script
