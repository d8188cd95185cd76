// Writes the recorded games the page's tests and benchmark read: velkorin_test_games OUTDIR.
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

// The script the benchmarks time as the largest.
std::vector<uint8_t> LargeScriptGame() { return testkit::BuildRecGame(testkit::LargeScript()); }

struct TestGame {
  std::string_view name;
  std::vector<uint8_t> (*build)();
};

constexpr TestGame kTestGames[] = {
    {"players.mgx", PlayersGame},
    {"players-unknown.mgx", PlayersUnknownGame},
    {"unnamed-colour.mgx", UnnamedColourGame},
    {"large-script.mgx", LargeScriptGame},
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
