#include "recgame/Players.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/ByteSearch.h"
#include "recgame/ByteReader.h"

namespace recgame {

// Three tables of the header, found by what marks them and read with every count bounded by what is
// left: the lobby, before the last double 1.6; the player records, from GAIA's on; the teams, after
// the triggers that follow that double.
namespace {

using Bytes = std::span<const uint8_t>;

constexpr size_t npos = std::string_view::npos;

// The double 1.6; the triggers and the teams follow its last occurrence.
constexpr std::string_view kSixTenths("\x9A\x99\x99\x99\x99\x99\xF9\x3F", 8);

// The lobby opens with the integer -99, somewhere before that double; each candidate is tried,
// nearest first, until one reads soundly.
constexpr std::string_view kLobbyMark("\x9D\xFF\xFF\xFF", 4);
constexpr size_t kLobbyTries = 16;
// After the mark: two integers, the map and the difficulty, and in The Conquerors one integer more.
constexpr size_t kLobbyHead = 20;
constexpr size_t kConquerorsLobbyHead = 24;
constexpr size_t kLobbySlots = 9;  // GAIA's and eight players'
constexpr int32_t kMaxNumber = kMaxPlayerNumber;
constexpr int32_t kMaxType = 6;
constexpr uint32_t kMaxNameLength = 64;
constexpr int32_t kEmptySlot = 0;
constexpr int32_t kClosedSlot = 1;

// A player record starts "00 16 <u32 N> 21", N the count of resource floats that follow, the same in
// every record of a game; GAIA's comes first, after its name.
constexpr std::string_view kGaiaName("\x05\x00GAIA", 6);
constexpr size_t kRecordMarkLength = 7;
constexpr size_t kResourceCountOffset = 2;
// After the floats, a byte 0B starts the part that holds civilization and colour.
constexpr uint8_t kSettingsMark = 0x0B;
constexpr size_t kExtraPairsOffset = 9;  // an i32: pairs of i32 that come first when 1 to 63
constexpr int32_t kMaxExtraPairs = 63;
constexpr size_t kCivilizationOffset = 18;
constexpr size_t kColourOffset = 22;
constexpr size_t kAgeOfKingsCivilizationOffset = 14;
constexpr size_t kAgeOfKingsColourOffset = 18;

// A trigger: an 18-byte head, description and name, effects and their order, conditions and theirs.
constexpr size_t kTriggerHead = 18;
constexpr size_t kEffectIntegers = 25;
constexpr size_t kEffectExtraCount = 6;  // the effect's 7th integer: how many more follow its texts
constexpr int64_t kConditionIntegers = 18;

std::string_view AsText(Bytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// The Age of Kings' headers hold no integer after the lobby's difficulty and place civilization and
// colour elsewhere.
bool IsAgeOfKings(std::string_view header) { return header.starts_with("VER 9.3") || header.starts_with("TRL 9.3"); }

struct LobbyEntry {
  int32_t number = 0;
  int32_t type = 0;
  std::string name;
};

// The lobby's nine entries after the mark at `at`, when they read soundly.
std::optional<std::vector<LobbyEntry>> ReadLobby(Bytes header, size_t at, bool ageOfKings) {
  ByteReader reader(header.subspan(at));
  if (!reader.Skip(ageOfKings ? kLobbyHead : kConquerorsLobbyHead)) return std::nullopt;
  std::vector<LobbyEntry> entries(kLobbySlots);
  for (LobbyEntry& entry : entries) {
    uint32_t length = 0;
    Bytes name;
    if (!reader.ReadI32(&entry.number) || !reader.ReadI32(&entry.type) || !reader.ReadU32(&length) ||
        entry.number < 0 || entry.number > kMaxNumber || entry.type < 0 || entry.type > kMaxType ||
        length > kMaxNameLength || !reader.ReadBytes(length, &name)) {
      return std::nullopt;
    }
    entry.name.assign(name.begin(), name.end());
  }
  // The first entry is GAIA's, player 0, whatever name it carries.
  if (entries.front().number != 0) return std::nullopt;
  return entries;
}

// The last occurrence of the pattern that starts before `end`. The text is searched in blocks from
// the end back, each block forward, at the speed of memchr, where a search backward compares at
// every byte; what lies near the end, as the tables do, is found at once.
size_t FindLast(std::string_view text, std::string_view pattern, size_t end) {
  constexpr size_t kBlock = 64 * 1024;
  for (size_t blockEnd = std::min(end, text.size()); blockEnd > 0;) {
    const size_t blockStart = blockEnd - std::min(blockEnd, kBlock);
    // An occurrence that starts in the block may end beyond it; one that starts at blockEnd does not
    // fit in the window, which so holds only those that start before it.
    const std::string_view window = text.substr(blockStart, blockEnd - blockStart + pattern.size() - 1);
    size_t last = npos;
    for (size_t at = bytes::Find(window, pattern); at != npos; at = bytes::Find(window, pattern, at + 1)) {
      last = blockStart + at;
    }
    if (last != npos) return last;
    blockEnd = blockStart;
  }
  return npos;
}

std::optional<std::vector<LobbyEntry>> FindLobby(Bytes header, size_t before, bool ageOfKings) {
  size_t at = before;
  for (size_t tries = 0; tries < kLobbyTries; ++tries) {
    at = FindLast(AsText(header), kLobbyMark, at);
    if (at == npos) break;
    if (std::optional<std::vector<LobbyEntry>> lobby = ReadLobby(header, at, ageOfKings)) return lobby;
  }
  return std::nullopt;
}

// Where the next record mark after the one at `previous` starts. The mark begins with a zero byte,
// which the header is full of, so its second byte is searched for.
size_t NextRecordMark(std::string_view text, std::string_view mark, size_t previous) {
  for (size_t at = bytes::Find(text, mark.substr(1), previous + 2); at != npos;
       at = bytes::Find(text, mark.substr(1), at + 1)) {
    if (text[at - 1] == '\0') return at - 1;
  }
  return npos;
}

// GAIA's record: where its mark starts, the mark every record of the game starts with, and the
// count of resource floats in it.
struct GaiaRecord {
  size_t at = 0;
  std::string mark;
  uint32_t resources = 0;
};

std::optional<GaiaRecord> FindGaiaRecord(Bytes header, size_t from) {
  const std::string_view text = AsText(header);
  for (size_t at = bytes::Find(text, kGaiaName, from); at != npos; at = bytes::Find(text, kGaiaName, at + 1)) {
    GaiaRecord gaia{at + kGaiaName.size(), std::string("\0\x16", 2), 0};
    ByteReader reader(header.subspan(gaia.at));
    if (!reader.Skip(kResourceCountOffset) || !reader.ReadU32(&gaia.resources)) return std::nullopt;
    for (int shift = 0; shift < 32; shift += 8) gaia.mark += static_cast<char>((gaia.resources >> shift) & 0xFF);
    gaia.mark += '\x21';
    if (text.substr(gaia.at, kRecordMarkLength) == gaia.mark) return gaia;
  }
  return std::nullopt;
}

struct PlayerRecord {
  uint8_t civilization = 0;
  uint8_t colour = 0;
};

std::optional<uint8_t> ByteAt(Bytes bytes, size_t offset) {
  if (offset >= bytes.size()) return std::nullopt;
  return bytes[offset];
}

// The record whose mark starts at `at`, holding `resources` floats.
std::optional<PlayerRecord> ReadRecord(Bytes header, size_t at, uint32_t resources, bool ageOfKings) {
  ByteReader reader(header.subspan(at + kRecordMarkLength));
  if (resources > reader.Remaining() / 4 || !reader.Skip(size_t{resources} * 4)) return std::nullopt;
  const Bytes settings = header.last(reader.Remaining());
  if (ByteAt(settings, 0) != kSettingsMark) return std::nullopt;
  size_t civilization = kAgeOfKingsCivilizationOffset;
  size_t colour = kAgeOfKingsColourOffset;
  if (!ageOfKings) {
    ByteReader extra(settings);
    int32_t pairs = 0;
    if (!extra.Skip(kExtraPairsOffset) || !extra.ReadI32(&pairs)) return std::nullopt;
    const size_t skipped = pairs >= 1 && pairs <= kMaxExtraPairs ? 8 * static_cast<size_t>(pairs) : 0;
    civilization = kCivilizationOffset + skipped;
    colour = kColourOffset + skipped;
  }
  // The colour's byte comes after the civilization's.
  const std::optional<uint8_t> colourByte = ByteAt(settings, colour);
  if (!colourByte) return std::nullopt;
  return PlayerRecord{settings[civilization], *colourByte};
}

// Every player record, GAIA's first, in player order; nothing when one cannot be read or there are
// more than the lobby has slots.
std::optional<std::vector<PlayerRecord>> ReadPlayerRecords(Bytes header, size_t from, bool ageOfKings) {
  const std::optional<GaiaRecord> gaia = FindGaiaRecord(header, from);
  if (!gaia) return std::nullopt;
  const std::string_view text = AsText(header);
  std::vector<PlayerRecord> records;
  for (size_t at = gaia->at; at != npos; at = NextRecordMark(text, gaia->mark, at)) {
    const std::optional<PlayerRecord> record = ReadRecord(header, at, gaia->resources, ageOfKings);
    if (!record || records.size() == kLobbySlots) return std::nullopt;
    records.push_back(*record);
  }
  return records;
}

bool SkipIntegers(ByteReader& reader, int64_t count) {
  return count >= 0 && static_cast<size_t>(count) <= reader.Remaining() / 4 && reader.Skip(static_cast<size_t>(count) * 4);
}

bool SkipText(ByteReader& reader) {
  int32_t length = 0;
  return reader.ReadI32(&length) && length >= 0 && reader.Skip(static_cast<size_t>(length));
}

bool SkipEffect(ByteReader& reader) {
  std::array<int32_t, kEffectIntegers> integers{};
  for (int32_t& integer : integers) {
    if (!reader.ReadI32(&integer)) return false;
  }
  return SkipText(reader) && SkipText(reader) && SkipIntegers(reader, integers[kEffectExtraCount]);
}

// The loop below takes bytes on every turn or fails, so a count the data cannot hold ends it soon.
bool SkipTrigger(ByteReader& reader) {
  int32_t effects = 0;
  if (!reader.Skip(kTriggerHead) || !SkipText(reader) || !SkipText(reader) || !reader.ReadI32(&effects) ||
      effects < 0) {
    return false;
  }
  for (int32_t i = 0; i < effects; ++i) {
    if (!SkipEffect(reader)) return false;
  }
  int32_t conditions = 0;
  // The conditions, then their order: one integer more for each.
  return SkipIntegers(reader, effects) && reader.ReadI32(&conditions) &&
         SkipIntegers(reader, conditions * (kConditionIntegers + 1));
}

// The team byte of players 1 to 8, after the triggers that follow the double 1.6 at `at`.
std::optional<std::array<uint8_t, kMaxNumber>> ReadTeams(Bytes header, size_t at) {
  ByteReader reader(header.subspan(at + kSixTenths.size()));
  int32_t triggers = 0;
  if (!reader.Skip(1) || !reader.ReadI32(&triggers) || triggers < 0) return std::nullopt;
  for (int32_t i = 0; i < triggers; ++i) {
    if (!SkipTrigger(reader)) return std::nullopt;
  }
  Bytes bytes;
  if (!SkipIntegers(reader, triggers) || !reader.ReadBytes(kMaxNumber, &bytes)) return std::nullopt;
  std::array<uint8_t, kMaxNumber> teams{};
  std::copy(bytes.begin(), bytes.end(), teams.begin());
  return teams;
}

// Script k is the k-th computer player's by number; co-op computer players of one number share it.
bool TieScripts(std::vector<Player>& players, size_t scriptCount) {
  size_t computers = 0;
  int32_t lastNumber = 0;
  for (Player& player : players) {
    if (player.type != kComputerPlayer) continue;
    if (player.number != lastNumber) ++computers;
    lastNumber = player.number;
    player.script = computers - 1;
  }
  return computers == scriptCount;
}

}  // namespace

std::optional<std::vector<Player>> ReadPlayers(std::span<const uint8_t> header, size_t scriptCount,
                                               size_t tablesFrom) {
  const std::string_view text = AsText(header);
  const bool ageOfKings = IsAgeOfKings(text);
  const size_t sixTenths = FindLast(text, kSixTenths, npos);
  if (sixTenths == npos) return std::nullopt;
  const std::optional<std::vector<LobbyEntry>> lobby = FindLobby(header, sixTenths, ageOfKings);
  if (!lobby) return std::nullopt;
  const std::optional<std::vector<PlayerRecord>> records = ReadPlayerRecords(header, tablesFrom, ageOfKings);
  const std::optional<std::array<uint8_t, kMaxNumber>> teams = ReadTeams(header, sixTenths);
  if (!records || !teams) return std::nullopt;

  std::vector<Player> players;
  for (const LobbyEntry& entry : std::span(*lobby).subspan(1)) {
    if (entry.number == 0 || entry.type == kEmptySlot || entry.type == kClosedSlot) continue;
    const auto number = static_cast<size_t>(entry.number);
    if (number >= records->size()) return std::nullopt;
    players.push_back({entry.number, entry.type, entry.name, (*records)[number].civilization,
                       (*records)[number].colour, (*teams)[number - 1], std::nullopt});
  }
  std::stable_sort(players.begin(), players.end(),
                   [](const Player& a, const Player& b) { return a.number < b.number; });
  // The records are GAIA's and one for each number up to the highest; a name that holds a record's
  // mark, or a stray mark, gives more.
  if (players.empty() || records->size() != static_cast<size_t>(players.back().number) + 1) return std::nullopt;
  if (!TieScripts(players, scriptCount)) return std::nullopt;
  return players;
}

}  // namespace recgame
