#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "recgame/Players.h"
#include "recgame/ReadResult.h"
#include "recgame/RecGameHeader.h"
#include "extraction/AiScript.h"
#include "script/CommandNumbering.h"

namespace extraction {

// What a recorded game holds, as every front end lists it: its version text, its scripts with their
// rule counts, or why it has none, and its players.

struct ScriptSummary {
  size_t rules = 0;
  // The rule count as the file stores it: `rules` for a whole script, zero or less for one that
  // holds none, more for one cut short.
  int16_t claimed = 0;
  std::optional<size_t> sameAs;  // the number (from 1) of the first earlier script with the same rules

  bool IsCutShort() const { return claimed > 0 && static_cast<size_t>(claimed) > rules; }
};

struct GameSummary {
  recgame::ReadResult status = recgame::ReadResult::kOk;
  std::optional<std::string> version;  // nothing when the header could not be read
  std::optional<script::NumberingKind> numbering;  // the numbering its facts and actions are read in; likewise
  std::string reason;                  // why it cannot be opened, when the message alone does not say
  std::vector<ScriptSummary> scripts;
  // Who played, each computer player tied to its script; nothing when that cannot be told.
  std::optional<std::vector<recgame::Player>> players;
};

// The start of an inflated header, such as "VER 9.4", up to its first zero byte within 8 bytes;
// anything but printable ASCII shows as "?", so that the text is safe on a terminal and in JSON.
std::string VersionText(std::span<const uint8_t> header);
// The scripts of a parsed game, each with its rule count and the first earlier script it repeats.
std::vector<ScriptSummary> SummarizeScripts(const CAiScript& script);
// Loads and parses the recorded game at `path`. Never throws: a read that fails once the file is
// open leaves the game as unreadable as one that never opened, with the failure as its reason.
GameSummary SummarizeGame(const std::string& path, const recgame::LoadOptions& load);
// The same of a header that `load` gives.
GameSummary SummarizeGame(const CAiScript::HeaderLoader& load, bool salvage);
// "4 scripts: 608, 610, 630 (same as 1), 612 rules", with what a count that the file claims otherwise
// says ("0 (the file claims -1)", "12 (cut short: the file claims 32767)"), or why the game has
// none: "no AI script", "broken" (or why a script cut short makes it so), "cannot be opened" (with
// ": REASON" where there is one).
std::string DescribeGame(const GameSummary& game);
// What `extract` says of a script (from 0) it writes short of rules: SalvagedMessage for one cut short,
// EmptyScriptMessage for one that holds none; empty for a whole script.
std::string MissingRulesMessage(size_t n, const ScriptSummary& script);
// The script (from 0) that was cut short; nothing when none was.
std::optional<size_t> CutScript(const GameSummary& game);
// The player who ran the script (from 0): the first of its number; nothing when players are unknown.
const recgame::Player* PlayerOfScript(const std::optional<std::vector<recgame::Player>>& players, size_t script);
const recgame::Player* PlayerOfScript(const GameSummary& game, size_t script);

}  // namespace extraction
