#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recgame/RecGameNames.h"
#include "tests/testkit/CaseName.h"

namespace {

struct OrderCase : testkit::NamedCase {
  std::vector<std::string> names;  // as the folder gives them
  std::vector<std::string> listed;
};

class ListedRecGames : public testing::TestWithParam<OrderCase> {};

// Recorded games are named *.mg? (the last a character of any length in UTF-8), listed without
// regard to ASCII case, names alike that way by their bytes.
TEST_P(ListedRecGames, TakesRecordedGamesInTheirOrder) {
  std::vector<std::string> listed;
  for (const size_t i : recgame::ListedRecGames(GetParam().names)) listed.push_back(GetParam().names[i]);
  EXPECT_EQ(listed, GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ListedRecGames,
    testing::Values(
        OrderCase{{"SharedLeadingLetters"}, {"abc.mgx", "ab.mgx", "a.mgx", "abd.mgz"}, {"a.mgx", "ab.mgx", "abc.mgx", "abd.mgz"}},
        OrderCase{{"CaseOnly"}, {"b.mgx", "A.mgx", "a.mgx", "B.MGX"}, {"A.mgx", "a.mgx", "B.MGX", "b.mgx"}},
        OrderCase{{"RecordedGamesOnly"},
                  {"a.mgxx", "b.mg", "c.txt", "mgx", "d.MgL", "e.mg\xc3\xa9", "f.mg\xc3\xa9x", ".mgz", "g.mgx.bak"},
                  {".mgz", "d.MgL", "e.mg\xc3\xa9"}}),
    testkit::CaseName());

// Names alike in every byte keep the order they were given in.
TEST(ListedRecGames, KeepsTheOrderOfTheSameName) {
  EXPECT_EQ(recgame::ListedRecGames({"g.mgx", "a.mgx", "g.mgx"}), (std::vector<size_t>{1, 0, 2}));
}

}  // namespace
