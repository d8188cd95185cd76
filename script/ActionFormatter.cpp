#include "recgame/AiScript.h"
#include "script/ElementText.h"

std::string CAiScript::FormatAction(const AiElement& element) const { return NotSupportedText(element); }
