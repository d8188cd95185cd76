#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "extraction/AiScript.h"

// Builds recorded-game files for tests and samples: an AI section (strings and rules) becomes an
// inflated header, the header is raw-deflated, and the compressed header is framed as a file.
// Every count can be made to disagree with the data, to build broken files on purpose.
namespace testkit {

inline recgame::AiElement Fact(int16_t id, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0, int32_t p4 = 0) {
  return {recgame::ElementKind::kFact, id, p1, p2, p3, p4};
}
inline recgame::AiElement Action(int16_t id, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0, int32_t p4 = 0) {
  return {recgame::ElementKind::kAction, id, p1, p2, p3, p4};
}
inline recgame::AiElement Operator(int16_t id) { return {recgame::ElementKind::kLogicalOperator, id, 0, 0, 0, 0}; }
// An element of any kind, also of none of the three.
inline recgame::AiElement Element(int32_t kind, int16_t id, int32_t p1 = 0, int32_t p2 = 0, int32_t p3 = 0,
                                  int32_t p4 = 0) {
  return {static_cast<recgame::ElementKind>(kind), id, p1, p2, p3, p4};
}

// Logical operator ids.
constexpr int16_t kNot = 0;
constexpr int16_t kAnd = 1;
constexpr int16_t kXor = 2;
constexpr int16_t kOr = 3;
constexpr int16_t kNor = 4;
constexpr int16_t kNand = 6;

// One rule record. Slots not given are stored as zero bytes.
struct RuleSpec {
  int8_t firstAction = 0;
  int8_t elementCount = 0;
  std::vector<recgame::AiElement> slots;
};

// A rule whose conditions are followed by its actions, the usual shape.
RuleSpec MakeRule(const std::vector<recgame::AiElement>& conditions, const std::vector<recgame::AiElement>& actions);

// Who played, as the tables after the map hold it; see recgame/Players.h.
struct LobbyEntrySpec {
  int32_t number = 0;
  int32_t type = 0;
  std::string name;
};
struct PlayerRecordSpec {
  std::string name;
  uint8_t civilization = 0;
  uint8_t colour = 0;
  int32_t extraPairs = 0;  // pairs of integers before civilization and colour, when 1 to 63
  uint8_t settingsMark = 0x0B;
};
struct EffectSpec {
  std::string text;
  std::string sound;
  int32_t extraIntegers = 0;
  std::optional<int32_t> storedExtra;  // stored instead of extraIntegers
};
struct TriggerSpec {
  std::string description;
  std::string name;
  std::vector<EffectSpec> effects;
  int32_t conditions = 0;  // a negative count is stored, and none written
};
struct PlayersSpec {
  uint32_t resources = 198;               // 240 in VER 9.E and 9.F, 189 in the Age of Kings
  std::vector<LobbyEntrySpec> lobby;      // GAIA's first; up to nine, the rest empty slots
  std::vector<PlayerRecordSpec> records;  // GAIA's first, then players 1, 2, …
  std::vector<TriggerSpec> triggers;
  std::optional<int32_t> triggerCount;  // stored instead of the number of triggers
  size_t strayLobbyMarks = 1;           // -99s between the lobby and the double 1.6 that open no lobby
  std::array<uint8_t, 8> teams{1, 1, 1, 1, 1, 1, 1, 1};  // of players 1 to 8
};

// One player as a test names it; Players() makes the lobby, the records and the teams agree.
struct PlayerSpec {
  int32_t number = 1;
  int32_t type = 2;
  std::string name;
  uint8_t civilization = 1;
  uint8_t colour = 0;
  uint8_t team = 1;
};
constexpr int32_t kHuman = 2;
constexpr int32_t kComputer = 4;
// The lobby in the order given, with GAIA first; a record for GAIA and for each number up to the
// highest, named after the first player of that number.
PlayersSpec Players(const std::vector<PlayerSpec>& players);

// Where each table starts within BuildPlayerTables' bytes, to cut them short.
struct PlayerTablesLayout {
  size_t records = 0;
  size_t lobby = 0;
  size_t teams = 0;  // the triggers before the teams
  size_t end = 0;
};
// The tables as a header holds them after its AI section: the player records, the lobby (after a
// -99 that opens no lobby, and before another), the double 1.6 (after an earlier one), the triggers and
// the teams. Bytes between them hold a filler pattern.
std::vector<uint8_t> BuildPlayerTables(const PlayersSpec& players, bool ageOfKings,
                                       PlayerTablesLayout* layout = nullptr);

struct AiSectionSpec {
  // The game's version at the start of the header; those of The Conquerors 1.0c unless chosen.
  std::string versionText = "VER 9.4";
  float saveVersion = 11.76f;
  uint32_t aiFlag = 1;
  std::vector<std::string> strings;
  std::optional<int16_t> stringCount;  // stored instead of the number of strings
  uint32_t blockMarker = 1;
  std::vector<RuleSpec> rules;
  std::optional<int16_t> ruleCount;               // stored instead of the number of rules
  std::vector<std::vector<RuleSpec>> moreScripts;  // the blocks after the first, of further computer players
  std::vector<uint8_t> trailer;                    // the header's bytes after the blocks
  std::optional<PlayersSpec> players;              // after the trailer
};

// One AI block: its 16-byte header and its rule records.
std::vector<uint8_t> BuildAiBlock(const std::vector<RuleSpec>& rules, std::optional<int16_t> ruleCount = {},
                                  uint32_t marker = 1);

// The inflated header holding the AI section. Bytes the reader must skip hold a filler pattern, so
// a reader that looks at the wrong offset sees nonsense.
std::vector<uint8_t> BuildHeader(const AiSectionSpec& section);

// Raw deflate (no zlib wrapper, no checksum) of the data.
std::vector<uint8_t> Deflate(std::span<const uint8_t> data);

enum class Preamble {
  kMgl,  // 4 bytes: the header length field only
  kMgx,  // 8 bytes: the header length field and a field the reader skips
};

struct FrameSpec {
  Preamble preamble = Preamble::kMgx;
  std::optional<uint32_t> headerLength;  // stored instead of the real header length
  std::vector<uint8_t> body;              // the rest of the file after the header
};

std::vector<uint8_t> Frame(std::span<const uint8_t> compressedHeader, const FrameSpec& frame = {});

// A whole recorded game holding the AI section.
std::vector<uint8_t> BuildRecGame(const AiSectionSpec& section, const FrameSpec& frame = {});

// The path named by UTF-8 text, as the program holds paths on every system; a path made from a
// plain string would take it in the code page on Windows.
std::filesystem::path Utf8Path(std::string_view text);

void WriteFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);

// Turns each LF into CR LF, as a script file holds its line ends.
std::string Crlf(std::string_view text);

// A fresh folder for one test, its name beginning with the UTF-8 text given, removed with everything
// in it when the object goes.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view name = "velkorin-test");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // A path inside the folder, as UTF-8 text for the code under test; the name is UTF-8 too.
  std::string File(const std::string& name) const;
  // Copies the file's bytes into the folder under the name and returns the copy's path. The copy is
  // always writable, so the folder can be removed even where the source was read-only.
  std::string CopyIn(const std::filesystem::path& source, const std::string& name) const;
  // The names of the entries now in the folder, sorted.
  std::vector<std::string> Entries() const { return EntriesOf(m_path); }
  static std::vector<std::string> EntriesOf(const std::filesystem::path& folder);

 private:
  std::filesystem::path m_path;
};

// Sets an environment variable while the object lives, then restores it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_previous;
};

// A header holding a copy of the bytes, as a load would hold them.
recgame::RecGameHeader HeaderHolding(std::span<const uint8_t> bytes);

// Loads a recorded game holding exactly this inflated header into the script; throws when the load
// fails, which no test of the later stages expects.
void LoadHeader(extraction::CAiScript& script, std::span<const uint8_t> header);
// A fresh script holding the AI section, loaded and parsed; throws when the parse fails.
std::unique_ptr<extraction::CAiScript> LoadSection(const AiSectionSpec& section);
// The text that WritePer writes to a file for the n-th script.
std::string WritePerText(const extraction::CAiScript& script, size_t n = 0);

}  // namespace testkit
