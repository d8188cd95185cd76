#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recgame/AiRules.h"
#include "recgame/ReadResult.h"
#include "recgame/RecGameHeader.h"

namespace recgame {

// The AI section of a recorded game's inflated header, as plain data: the string table that the
// scripts' actions quote, and the rules of each script, one script per computer player in the order
// of the file. The first script is the one the dialog writes.
struct AiSection {
  std::vector<std::string> strings;
  std::vector<AiRules> scripts;
  size_t end = 0;  // the offset in the header where the section ends: after its last script, or 0
};

// Reads the AI section at the start of an inflated header: the string table and up to eight AI
// blocks, each one script. A slot without the block marker, or too short for a block's head, ends the
// list. A block whose rule count claims more rules than the header holds after it is cut short: it
// ends the list too, as a script of the whole rules there are, and makes the section broken unless
// `salvage`. kNoAiScript when the header holds no AI script, or no first block; the section then
// keeps its earlier scripts, and its earlier strings unless every string was read. Never reads
// outside the header.
ReadResult ParseAi(const RecGameHeader& header, AiSection* section, bool salvage = false);

}  // namespace recgame
