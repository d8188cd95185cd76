#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recgame/AiRule.h"
#include "recgame/ReadResult.h"

// The AI section of a recorded game's inflated header, as plain data: the string table that the
// scripts' actions quote, and the rules of the script.
struct AiSection {
  std::vector<std::string> strings;
  std::vector<AiRule> rules;
};

namespace recgame {

// Reads the AI section at the start of an inflated header. kNoAiScript when the header holds no AI
// script or its section is cut short; the section then keeps its earlier rules, and its earlier
// strings unless every string was read. Never reads outside the header.
ReadResult ParseAi(std::span<const uint8_t> header, AiSection* section);

}  // namespace recgame
