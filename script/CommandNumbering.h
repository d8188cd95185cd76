#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "recgame/AiRule.h"

namespace script {

// The ids under which a recorded game stores its facts and actions. The fact and action tables are
// those of The Conquerors 1.0c; UserPatch inserts commands of its own into the game's tables, so a
// script compiled under it stores the same commands under other ids. A numbering maps each stored
// id back to its 1.0c id, by the game's version.

// A run of stored ids that stand for consecutive 1.0c ids: `first` to `last` are `to` onwards.
struct IdRun {
  int16_t first;
  int16_t last;
  int16_t to;
};

// Which kind of numbering a game uses, as a listing names it.
enum class NumberingKind : uint8_t {
  kConquerors,  // as stored: The Conquerors 1.0c
  kUserPatch,
  kUnknown,  // a version whose numbering is not known; read as 1.0c
};

struct CommandNumbering {
  NumberingKind kind;
  std::span<const IdRun> facts;
  std::span<const IdRun> actions;
};

// Every id as stored.
extern const CommandNumbering kConquerorsNumbering;
// The 1.0c numbering, for a game whose version is not known.
extern const CommandNumbering kUnknownNumbering;

// How the numbering of a game is chosen: by its version, or 1.0c whatever the version.
enum class NumberingChoice : uint8_t { kAuto, kConquerors };

// The numbering of the game whose inflated header this is, from its version text (the first 8 bytes)
// and its save version (the 32-bit float after it).
const CommandNumbering& NumberingOfHeader(std::span<const uint8_t> header);

// The 1.0c id of a stored fact or action id; nothing for an id the numbering gives to commands
// of UserPatch's own. Elements of other kinds keep their ids.
std::optional<int16_t> ConquerorsId(const CommandNumbering& numbering, recgame::ElementKind kind, int16_t stored);

// "1.0c", "UserPatch" or "unknown numbering", and for JSON "1.0c", "userpatch" or "unknown".
std::string_view NumberingName(NumberingKind kind);
std::string_view NumberingJsonName(NumberingKind kind);

}  // namespace script
