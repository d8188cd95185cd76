#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/ScriptFileNames.h"
#include "tests/testkit/CaseName.h"

namespace {

struct BasesCase : testkit::NamedCase {
  std::vector<std::string> games;
  std::vector<std::string> bases;
};

class ScriptBases : public testing::TestWithParam<BasesCase> {};

TEST_P(ScriptBases, KeepTheExtensionOnlyWhereFilesCouldMeet) {
  EXPECT_EQ(script::ScriptBases(GetParam().games), GetParam().bases);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ScriptBases,
    testing::Values(BasesCase{{"distinct"}, {"a.mgx", "b.mgz"}, {"a", "b"}},
                    BasesCase{{"same_name_other_case"}, {"game.mgx", "Game.mgz", "other.mgl"},
                              {"game.mgx", "Game.mgz", "other"}},
                    BasesCase{{"second_script_meets_a_game"}, {"a.mgx", "a-2.mgx"}, {"a.mgx", "a-2.mgx"}},
                    BasesCase{{"no_extension"}, {"plain", "plain.mgx"}, {"plain", "plain.mgx"}}),
    testkit::CaseName());

}  // namespace
