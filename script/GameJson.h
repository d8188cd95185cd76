#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/GameSummary.h"

namespace script {

// A JSON string: quotes, backslashes and control characters escaped; other bytes, UTF-8, as they are.
std::string JsonString(std::string_view text);
// "ok", "no-ai-script", "broken" or "cannot-open".
std::string_view JsonStatus(ReadResult status);
// One game as `velkorin list --json` writes it: {"name": …, "size": …, "version": …, "status": …,
// "scripts": [{"rules": …, "sameAs": …}, …]}, on one line.
std::string GameJson(std::string_view name, uint64_t size, const GameSummary& game);

}  // namespace script
