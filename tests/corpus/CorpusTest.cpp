#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "extraction/AiScript.h"
#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

// Recorded games made by players, read from the shared corpus folder beside the checkout when it is
// there. Each is copied into a scratch folder first: the loader writes its temporary file beside the
// recorded game.
namespace {

using extraction::CAiScript;
using recgame::ReadResult;

// Why a test of a real game is skipped, the same words for each, which scripts/test counts.
constexpr const char* kNoCorpus = "needs the real recorded games of ../shared/corpus, not beside this checkout";

struct CorpusCase {
  const char* file;
  ReadResult loadResult;
  uint32_t inflatedLength = 0;
  ReadResult parseResult = ReadResult::kOk;
  size_t strings = 0;
  std::vector<size_t> rules;  // of each script
  bool salvage = false;

  friend std::ostream& operator<<(std::ostream& out, const CorpusCase& c) { return out << c.file; }
};

class Corpus : public testing::TestWithParam<CorpusCase> {};

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST_P(Corpus, RecordedGameGivesWhatItHolds) {
  const CorpusCase& c = GetParam();
  const std::filesystem::path source = std::filesystem::path(VELKORIN_CORPUS_DIR) / c.file;
  if (!std::filesystem::exists(source)) GTEST_SKIP() << kNoCorpus;

  testkit::ScratchDir dir;
  CAiScript script;
  ASSERT_EQ(script.LoadRecGame(dir.CopyIn(source, c.file), {.salvage = c.salvage}), c.loadResult);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{c.file});
  if (c.loadResult != ReadResult::kOk) return;
  EXPECT_EQ(script.Header().size(), c.inflatedLength);

  ASSERT_EQ(script.ParseAi(), c.parseResult);
  if (c.parseResult != ReadResult::kOk) return;
  EXPECT_EQ(script.StringTable().size(), c.strings);
  ASSERT_EQ(script.ScriptCount(), c.rules.size());
  for (size_t n = 0; n < c.rules.size(); ++n) EXPECT_EQ(script.Rules(n).size(), c.rules[n]) << "script " << n + 1;

  const std::string text = testkit::WritePerText(script);
  EXPECT_EQ(CountOf(text, "(defrule\r\n"), c.rules[0]);
  EXPECT_EQ(CountOf(text, "\n"), CountOf(text, "\r\n"));
  // The page's download is the text written to memory: the same bytes as the file.
  std::string inMemory = "kept";
  ASSERT_EQ(script.WritePerText(&inMemory), script::WriteResult::kOk);
  EXPECT_EQ(inMemory, "kept" + text);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Corpus,
    testing::Values(
        CorpusCase{"aoc-1.0c.mgx", ReadResult::kOk, 667882, ReadResult::kNoAiScript},
        CorpusCase{"aoc10c_with_AI.mgx", ReadResult::kOk, 1207510, ReadResult::kOk, 126, {955}},
        CorpusCase{"aok-2.0a.mgl", ReadResult::kOk, 607054, ReadResult::kNoAiScript},
        CorpusCase{"aok_trial.mgl", ReadResult::kOk, 710313, ReadResult::kNoAiScript},
        CorpusCase{"headerlen_is_missing.mgx", ReadResult::kBroken},
        CorpusCase{"headerlen_is_missing.mgx", ReadResult::kOk, 2762974, ReadResult::kNoAiScript, 0, {}, true},
        CorpusCase{"matchup_1v2v2.mgx", ReadResult::kOk, 3151576, ReadResult::kOk, 96, {608, 610, 630, 612}},
        CorpusCase{"small.mgz", ReadResult::kOk, 1021203, ReadResult::kNoAiScript},
        CorpusCase{"up-1.4.mgz", ReadResult::kOk, 684380, ReadResult::kNoAiScript},
        CorpusCase{"up1.5.mgz", ReadResult::kOk, 2930171, ReadResult::kOk, 26, {608, 605}}),
    [](const testing::TestParamInfo<CorpusCase>& param) {
      std::string name = std::string(param.param.salvage ? "salvaged_" : "") + param.param.file;
      std::ranges::replace_if(name, [](unsigned char c) { return !std::isalnum(c); }, '_');
      return name;
    });

struct CorpusPlayersCase : testkit::NamedCase {
  const char* file;
  std::vector<std::string> options;
  std::vector<std::string> players;  // of each script: "NUMBER CIVILIZATION COLOUR TEAM"
  size_t named;                      // a player whose name is known
  const char* name;
};

class CorpusPlayers : public testing::TestWithParam<CorpusPlayersCase> {};

// list --json names the player of each script of a real game, and what it played.
TEST_P(CorpusPlayers, EachScriptHasItsPlayer) {
  const CorpusPlayersCase& c = GetParam();
  const std::filesystem::path source = std::filesystem::path(VELKORIN_CORPUS_DIR) / c.file;
  if (!std::filesystem::exists(source)) GTEST_SKIP() << kNoCorpus;
  testkit::ScratchDir dir;
  std::vector<std::string> args = {"list", "--json", dir.CopyIn(source, c.file)};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const nlohmann::json game = nlohmann::json::parse(testkit::RunCli(args).out)["games"][0];
  std::vector<std::string> players;
  for (const nlohmann::json& script : game["scripts"]) {
    const nlohmann::json& player = game["players"].at(script["player"].get<size_t>() - 1);  // numbered from 1 here
    players.push_back(player["number"].dump() + " " + player["civilizationName"].get<std::string>() + " " +
                      player["colorName"].get<std::string>() + " " + player["team"].dump());
  }
  EXPECT_EQ(players, c.players);
  EXPECT_EQ(game["players"].at(c.named - 1)["name"], c.name);
}

const std::vector<std::string> kMatchupPlayers = {"2 Teutons red 1", "3 Vikings green 2", "4 Persians yellow null",
                                                  "5 Koreans cyan 2"};

INSTANTIATE_TEST_SUITE_P(
    Files, CorpusPlayers,
    testing::Values(CorpusPlayersCase{{"Matchup"}, "matchup_1v2v2.mgx", {}, kMatchupPlayers, 5, "Yi Song-kye"},
                    CorpusPlayersCase{{"MatchupInGbk"}, "matchup_1v2v2.mgx", {"--encoding", "gbk"}, kMatchupPlayers,
                                      3, "齐谷德"},
                    CorpusPlayersCase{{"Conquerors"}, "aoc10c_with_AI.mgx", {}, {"2 Huns red 2"}, 2,
                                      "-=ATEX-9D Flush=-"},
                    CorpusPlayersCase{{"UserPatch"}, "up1.5.mgz", {}, {"2 Franks blue null", "3 Celts green null"}, 2,
                                      "Louis IX"}),
    testkit::CaseName());

// How many rules of script `n` of `a` are, as written, rules of script `n` of `b` too, each counted
// as often as both hold it.
size_t RulesInCommon(const CAiScript& a, const CAiScript& b, size_t n) {
  std::map<std::string, std::array<size_t, 2>> rules;
  for (const size_t side : {0, 1}) {
    const std::string text = testkit::WritePerText(side == 0 ? a : b, n);
    for (size_t at = text.find("(defrule"), next = 0; at != std::string::npos; at = next) {
      next = text.find("(defrule", at + 1);
      ++rules[text.substr(at, next - at)][side];
    }
  }
  size_t common = 0;
  for (const auto& [text, counts] : rules) common += std::min(counts[0], counts[1]);
  return common;
}

// up1.5.mgz (UserPatch, VER 9.E) and matchup_1v2v2.mgx (1.0c) both hold the game's standard computer
// player: read each in its own numbering, most of their rules are the same text. The rest differ by
// civilisation, map and difficulty.
TEST(CorpusNumbering, UserPatchGameReadsAsTheSameComputerPlayer) {
  const std::filesystem::path corpus(VELKORIN_CORPUS_DIR);
  if (!std::filesystem::exists(corpus / "up1.5.mgz")) GTEST_SKIP() << kNoCorpus;
  testkit::ScratchDir dir;
  CAiScript conquerors;
  CAiScript userPatch;
  ASSERT_EQ(conquerors.LoadAndParse(dir.CopyIn(corpus / "matchup_1v2v2.mgx", "matchup.mgx")), ReadResult::kOk);
  ASSERT_EQ(userPatch.LoadAndParse(dir.CopyIn(corpus / "up1.5.mgz", "up.mgz")), ReadResult::kOk);

  EXPECT_EQ(RulesInCommon(userPatch, conquerors, 0), 436u);
  for (size_t n = 0; n < userPatch.ScriptCount(); ++n) {
    EXPECT_EQ(CountOf(testkit::WritePerText(userPatch, n), ";not supported"), 0u) << "script " << n + 1;
  }
  userPatch.UseNumbering(script::NumberingChoice::kConquerors);
  EXPECT_EQ(RulesInCommon(userPatch, conquerors, 0), 0u);
}

}  // namespace
