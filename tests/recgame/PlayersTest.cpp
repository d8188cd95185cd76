#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "recgame/Players.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using recgame::Player;
using testkit::kComputer;
using testkit::kHuman;
using testkit::PlayerSpec;

// What ReadPlayers gives for a player, and its script.
Player Expected(const PlayerSpec& spec, std::optional<size_t> script = std::nullopt) {
  return {spec.number, spec.type, spec.name, spec.civilization, spec.colour, spec.team, script};
}

const PlayerSpec kHost{1, kHuman, "Host", 8, 0, 2};
const PlayerSpec kSpanish{2, kComputer, "Isabel", 14, 1, 3};
const PlayerSpec kAlly{3, kHuman, "Ally", 3, 2, 2};
const PlayerSpec kMongols{4, kComputer, "Temujin", 12, 3, 3};
const PlayerSpec kLast{5, kHuman, "Last", 1, 7, 1};

struct PlayersCase : testkit::NamedCase {
  testkit::AiSectionSpec section;
  std::optional<std::vector<Player>> players;
};

testkit::AiSectionSpec Game(const std::vector<PlayerSpec>& players, size_t scripts) {
  testkit::AiSectionSpec section{.rules = {testkit::MakeRule({}, {testkit::Action(30)})}};
  section.moreScripts.resize(scripts - 1, section.rules);
  section.players = testkit::Players(players);
  return section;
}

template <class Change>
testkit::AiSectionSpec Changed(testkit::AiSectionSpec section, Change change) {
  change(section);
  return section;
}

class ReadPlayersTest : public testing::TestWithParam<PlayersCase> {};

TEST_P(ReadPlayersTest, GivesThePlayersAndTheirScripts) {
  const PlayersCase& c = GetParam();
  const std::vector<uint8_t> header = testkit::BuildHeader(c.section);
  const size_t scripts = c.section.aiFlag == 0 ? 0 : 1 + c.section.moreScripts.size();
  EXPECT_EQ(recgame::ReadPlayers(header, scripts), c.players);
}

const PlayerSpec kCoop{1, kHuman, "Second of one", 8, 0, 2};
const PlayerSpec kGbk{2, kComputer, "\xC6\xEB\xB9\xC8\xB5\xC2", 11, 2, 3};
const PlayerSpec kLatin{1, kHuman, "Ag\xE9", 2, 5, 1};

// Most of the cases: a human host and a computer player, one script.
template <class Change>
testkit::AiSectionSpec Duel(Change change) {
  return Changed(Game({kHost, kSpanish}, 1), change);
}
const std::vector<Player> kDuel = {Expected(kHost), Expected(kSpanish, 0)};
const std::vector<Player> kFive = {Expected(kHost), Expected(kSpanish, 0), Expected(kAlly), Expected(kMongols, 1),
                                   Expected(kLast)};

INSTANTIATE_TEST_SUITE_P(
    Layouts, ReadPlayersTest,
    testing::Values(
        // Script k is the k-th computer player by number, humans before, between and after them.
        PlayersCase{{"HumansAroundComputers"}, Game({kHost, kSpanish, kAlly, kMongols, kLast}, 2), kFive},
        PlayersCase{{"ComputerFirst"}, Game({{1, kComputer, "First", 2, 1, 1}, kAlly}, 1),
                    std::vector{Expected({1, kComputer, "First", 2, 1, 1}, 0), Expected(kAlly)}},
        // The lobby's order is not the numbers' order.
        PlayersCase{{"PositionIsNotNumber"}, Game({kMongols, kLast, kSpanish, kHost, kAlly}, 2), kFive},
        // Two players of one number: both listed, in the lobby's order, with the number's record.
        PlayersCase{{"CoopSharesANumber"}, Game({kHost, kCoop, kSpanish}, 1),
                    std::vector{Expected(kHost), Expected(kCoop), Expected(kSpanish, 0)}},
        PlayersCase{{"AgeOfKings"},
                    Duel([](auto& s) { s.versionText = "VER 9.3"; s.players->resources = 189; }), kDuel},
        PlayersCase{{"UserPatchRecords"},
                    Duel([](auto& s) { s.versionText = "VER 9.E"; s.players->resources = 240; }), kDuel},
        PlayersCase{{"PairsBeforeTheCivilization"},
                    Duel([](auto& s) { s.players->records[1].extraPairs = 1; s.players->records[2].extraPairs = 10; }),
                    kDuel},
        // Beyond 63 the integer is no count of pairs.
        PlayersCase{{"NoPairsBeyond63"}, Duel([](auto& s) { s.players->records[1].extraPairs = 64; }), kDuel},
        // Names are the lobby's bytes, whatever their code page; a record's own name may differ.
        PlayersCase{{"NamesKeepTheirBytes"},
                    Changed(Game({kLatin, kGbk}, 1), [](auto& s) { s.players->records[1].name = "other"; }),
                    std::vector{Expected(kLatin), Expected(kGbk, 0)}},
        PlayersCase{{"TriggersBeforeTheTeams"},
                    Duel([](auto& s) {
                      s.players->triggers = {{"Win", "t1", {{"Hello", "", 3}, {"", "horn.wav", 0}}, 2},
                                             {"", "t2", {}, 0}};
                    }),
                    kDuel},
        PlayersCase{{"ResourcesBeyondAByte"}, Duel([](auto& s) { s.players->resources = 300; }), kDuel},
        // Half a mark in a record's name, or GAIA's name in a script's strings, is no record.
        PlayersCase{{"HalfAMarkInARecordName"},
                    Duel([](auto& s) { s.players->records[1].name = std::string("x\x16\xC6\0\0\0\x21y", 8); }), kDuel},
        PlayersCase{{"GaiaInTheStrings"},
                    Duel([](auto& s) { s.strings = {std::string("\x05\0GAIA\0\x16\x01", 9)}; }), kDuel},
        // Types up to 6 are sound; those not 2 or 4 are neither human nor computer, and an empty or a
        // closed slot is no player whatever its number.
        PlayersCase{{"TypesThatAreNeither"},
                    Changed(Game({kHost, kSpanish, {3, 6, std::string(64, 'n'), 5, 5, 1}}, 1),
                            [](auto& s) {
                              s.players->lobby.push_back({4, 0, "gone"});
                              s.players->lobby.push_back({4, 1, "closed"});
                            }),
                    std::vector{Expected(kHost), Expected(kSpanish, 0),
                                Expected({3, 6, std::string(64, 'n'), 5, 5, 1})}},
        PlayersCase{{"TypeBeyondSix"}, Game({kHost, kSpanish, {3, 7, "x", 5, 5, 1}}, 1), std::nullopt},
        PlayersCase{{"NameBeyond64Bytes"}, Game({kHost, kSpanish, {3, kHuman, std::string(65, 'n'), 5, 5, 1}}, 1),
                    std::nullopt},
        // The lobby is looked for among the 16 nearest -99s.
        PlayersCase{{"LobbyAfterFifteenStrayMarks"}, Duel([](auto& s) { s.players->strayLobbyMarks = 15; }), kDuel},
        PlayersCase{{"LobbyAfterSixteenStrayMarks"}, Duel([](auto& s) { s.players->strayLobbyMarks = 16; }),
                    std::nullopt},
        PlayersCase{{"OnlyHumans"}, Changed(Game({kHost, kAlly}, 1), [](auto& s) { s.aiFlag = 0; }),
                    std::vector{Expected(kHost), Expected(kAlly)}},
        // What cannot be tied is not guessed.
        PlayersCase{{"MoreComputersThanScripts"}, Game({kHost, kSpanish, kMongols}, 1), std::nullopt},
        PlayersCase{{"FewerComputersThanScripts"}, Game({kHost, kSpanish}, 2), std::nullopt},
        PlayersCase{{"ARecordMissing"}, Duel([](auto& s) { s.players->records.pop_back(); }), std::nullopt},
        PlayersCase{{"ARecordUnreadable"}, Duel([](auto& s) { s.players->records[1].settingsMark = 0x0C; }),
                    std::nullopt},
        PlayersCase{{"ARecordTooMany"}, Duel([](auto& s) { s.players->records.push_back({"x", 1, 1}); }), std::nullopt},
        // A name that holds a record's mark makes one record more than the lobby has players.
        PlayersCase{{"NameHoldsARecordMark"},
                    Duel([](auto& s) { s.players->lobby[1].name = std::string("a\0\x16\xC6\0\0\0\x21z", 9); }),
                    std::nullopt},
        PlayersCase{{"NumberBeyondEight"}, Duel([](auto& s) { s.players->lobby[2].number = 9; }), std::nullopt},
        PlayersCase{{"GaiaIsNotFirst"}, Duel([](auto& s) { s.players->lobby[0].number = 1; }), std::nullopt},
        PlayersCase{{"EffectBeyondTheData"},
                    Duel([](auto& s) { s.players->triggers = {{"", "", {{"", "", 0, 1 << 30}}, 0}}; }), std::nullopt},
        PlayersCase{{"NegativeConditionCount"}, Duel([](auto& s) { s.players->triggers = {{"", "", {}, -1}}; }),
                    std::nullopt},
        PlayersCase{{"TriggerCountBeyondTheData"}, Duel([](auto& s) { s.players->triggerCount = 1 << 30; }),
                    std::nullopt}),
    testkit::CaseName());

// Cut anywhere inside the tables, or without them, a header has no players; its script is untouched.
TEST(ReadPlayers, CutTablesGiveNoPlayers) {
  testkit::AiSectionSpec section = Game({kHost, kSpanish}, 1);
  section.players->triggers = {{"Win", "t1", {{"Hello", "", 3}}, 1}};
  section.players->teams = {};
  const testkit::PlayersSpec players = *section.players;
  section.players.reset();
  const std::vector<uint8_t> before = testkit::BuildHeader(section);
  testkit::PlayerTablesLayout layout;
  const std::vector<uint8_t> tables = testkit::BuildPlayerTables(players, false, &layout);
  for (const size_t cut : {size_t{0}, layout.records + 3, layout.lobby - 1, layout.lobby + 30, layout.teams - 1,
                           layout.teams + 40, layout.end - 64 - 1}) {
    std::vector<uint8_t> header = before;
    header.insert(header.end(), tables.begin(), tables.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(recgame::ReadPlayers(header, 1), std::nullopt) << "cut at " << cut;
  }
}

// The tables are found wherever they lie in the header: the double 1.6 is looked for in blocks of
// 64 KiB from the end back, and may lie across two of them.
TEST(ReadPlayers, FindsTheTablesAcrossTheBlocksOfTheSearch) {
  const std::vector<uint8_t> header = testkit::BuildHeader(Game({kHost, kSpanish}, 1));
  const std::vector<uint8_t> sixTenths = {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xF9, 0x3F};
  const size_t at = static_cast<size_t>(
      std::find_end(header.begin(), header.end(), sixTenths.begin(), sixTenths.end()) - header.begin());
  for (const size_t across : {0, 1, 4, 7, 8}) {
    std::vector<uint8_t> padded = header;
    padded.resize(at + across + 64 * 1024, 0xA5);
    EXPECT_EQ(recgame::ReadPlayers(padded, 1), (std::vector{Expected(kHost), Expected(kSpanish, 0)})) << across;
  }
}

}  // namespace
