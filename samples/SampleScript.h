#pragma once

#include "tests/testkit/RecGameBuilder.h"

// The AI script of the bundled sample recorded game: an economy-and-defence script of the kind
// players write, using facts and actions from across the language, strings, and nested logical
// operators.
testkit::AiSectionSpec SampleSection();

// The whole sample recorded game (.mgx framing) as it is stored in samples/.
std::vector<uint8_t> SampleRecGame();
