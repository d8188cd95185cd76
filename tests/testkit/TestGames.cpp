// Writes the recorded games the page's browser tests read: velkorin_test_games OUTDIR.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "tests/testkit/RecGameBuilder.h"

namespace {

using testkit::kComputer;
using testkit::kHuman;

constexpr int16_t kTrue = 0;
constexpr int16_t kDoNothing = 32;

// One script per count, each of that many rules, so that each script's rule count tells it apart.
testkit::AiSectionSpec Scripts(const std::vector<size_t>& ruleCounts) {
  const testkit::RuleSpec rule = testkit::MakeRule({testkit::Fact(kTrue)}, {testkit::Action(kDoNothing)});
  testkit::AiSectionSpec section{.rules = std::vector(ruleCounts.front(), rule)};
  for (size_t n = 1; n < ruleCounts.size(); ++n) section.moreScripts.emplace_back(ruleCounts[n], rule);
  return section;
}

// Humans before, between and after the computers; one computer named in GBK bytes (齐谷德), one in
// windows-1252 (Jérôme); seven of the eight colours.
std::vector<uint8_t> PlayersGame() {
  testkit::AiSectionSpec section = Scripts({3, 1, 2});
  section.players = testkit::Players({{1, kHuman, "Host", 8, 0, 2},
                                      {2, kComputer, "\xC6\xEB\xB9\xC8\xB5\xC2", 11, 2, 3},
                                      {3, kHuman, "Ally", 3, 5, 2},
                                      {4, kComputer, "J\xE9r\xF4me", 2, 1, 3},
                                      {5, kComputer, "Tamerlane", 12, 7, 1},
                                      {6, kHuman, "Guest", 18, 3, 1},
                                      {7, kHuman, "Last", 1, 4, 3}});
  return testkit::BuildRecGame(section);
}

// The eighth colour, and a computer of a colour without a name.
std::vector<uint8_t> UnnamedColourGame() {
  testkit::AiSectionSpec section = Scripts({1});
  section.players = testkit::Players({{1, kHuman, "Grey", 5, 6, 1}, {2, kComputer, "Odd", 6, 12, 1}});
  return testkit::BuildRecGame(section);
}

// Scripts, but no table of who played them.
std::vector<uint8_t> PlayersUnknownGame() { return testkit::BuildRecGame(Scripts({2, 1})); }

std::vector<uint8_t> OneScriptGame() { return testkit::BuildRecGame(Scripts({1})); }

std::vector<uint8_t> NoAiGame() { return testkit::BuildRecGame({.aiFlag = 0}); }

// A compressed header that stops short of its end.
std::vector<uint8_t> BrokenGame() {
  std::vector<uint8_t> compressed = testkit::Deflate(testkit::BuildHeader(Scripts({1})));
  compressed.resize(compressed.size() / 2);
  return testkit::Frame(compressed);
}

// A game that stopped before it wrote its header-length field: readable only salvaged.
std::vector<uint8_t> HeaderLengthZeroGame() {
  return testkit::Frame(testkit::Deflate(testkit::BuildHeader(Scripts({2}))), {.headerLength = 0, .body = {1, 2}});
}

// Two whole rules of the 32767 claimed: broken, and two rules salvaged.
std::vector<uint8_t> CutShortGame() {
  testkit::AiSectionSpec section = Scripts({2});
  section.ruleCount = 32767;
  return testkit::BuildRecGame(section);
}

// A script of no rules: an empty script.
std::vector<uint8_t> EmptyScriptGame() {
  testkit::AiSectionSpec section = Scripts({1});
  section.ruleCount = -1;
  return testkit::BuildRecGame(section);
}

std::vector<uint8_t> ManyRulesGame() { return testkit::BuildRecGame(Scripts({6000})); }

struct TestGame {
  std::string_view name;
  std::vector<uint8_t> (*build)();
};

// The odd names are those a Linux file system takes, where the page's tests run: characters that make
// a name read as another, control characters, and a name beyond Latin that stays as it is.
constexpr TestGame kTestGames[] = {
    {"players.mgx", PlayersGame},
    {"players-unknown.mgx", PlayersUnknownGame},
    {"unnamed-colour.mgx", UnnamedColourGame},
    {"no-ai.mgx", NoAiGame},
    {"broken.mgx", BrokenGame},
    {"header-length-0.mgx", HeaderLengthZeroGame},
    {"cut-short.mgx", CutShortGame},
    {"empty-script.mgx", EmptyScriptGame},
    {"6000-rules.mgx", ManyRulesGame},
    {"a\u202Egpj.mgx", OneScriptGame},
    {"zero\u200Bwidth\uFEFF.mgx", OneScriptGame},
    {"tab\tnew\nline\x1B[31m.mgx", OneScriptGame},
    {"c1-\u009B-del-\x7F.mgx", OneScriptGame},
    {"\u0926\u0947\u0935\u0928\u093E\u0917\u0930\u0940 \U0001F600.mgx", OneScriptGame},
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: velkorin_test_games OUTDIR\n";
    return 64;
  }
  try {
    const std::filesystem::path folder = testkit::Utf8Path(argv[1]);
    std::filesystem::create_directories(folder);
    for (const TestGame& game : kTestGames) testkit::WriteFile(folder / testkit::Utf8Path(game.name), game.build());
  } catch (const std::exception& error) {
    std::cerr << "velkorin_test_games: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
