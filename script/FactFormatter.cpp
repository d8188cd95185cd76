#include "recgame/AiScript.h"
#include "script/ElementText.h"

std::string CAiScript::FormatFact(const AiElement& element) const { return NotSupportedText(element); }
