#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recgame/AiRules.h"
#include "recgame/ReadResult.h"
#include "recgame/RecGameHeader.h"

// The AI section of a recorded game's inflated header, as plain data: the string table that the
// scripts' actions quote, and the rules of each script, one script per computer player in the order
// of the file. The first script is the one the dialog writes.
struct AiSection {
  std::vector<std::string> strings;
  std::vector<AiRules> scripts;
};

namespace recgame {

// Reads the AI section at the start of an inflated header: the string table and up to eight AI
// blocks, each one script; the first block that is cut short or lacks its marker ends the list.
// kNoAiScript when the header holds no AI script, or no whole first block; the section then keeps
// its earlier scripts, and its earlier strings unless every string was read. Never reads outside
// the header.
ReadResult ParseAi(const RecGameHeader& header, AiSection* section);

}  // namespace recgame
