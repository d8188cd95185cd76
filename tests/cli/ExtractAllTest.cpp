#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

namespace {

namespace fs = std::filesystem;
using testkit::BuildRecGame;
using testkit::CliRun;
using testkit::kOneRule;
using testkit::kTwoRules;
using testkit::RunCli;
using testkit::ScriptText;

// Games whose script files would meet by their names without extension ("g.mgx" and "G.mgz" in a
// folder that ignores case, and "g-2.mgx" with the second script of "g.mgx"), one without AI script
// and a broken one.
TEST(ExtractAll, WritesEveryScriptOnceUnderItsOwnNameWhateverTheJobsAndCountsFailures) {
  testkit::ScratchDir dir;
  const fs::path folder = dir.Path() / "games";
  fs::create_directory(folder);
  const std::vector<testkit::RuleSpec> third = {testkit::MakeRule({testkit::Fact(6, 3, 5)}, {testkit::Action(31)})};
  testkit::WriteFile(folder / "g.mgx", BuildRecGame({.rules = kTwoRules, .moreScripts = {kOneRule}}));
  testkit::WriteFile(folder / "G.mgz", BuildRecGame({.rules = kOneRule}));
  testkit::WriteFile(folder / "g-2.mgx", BuildRecGame({.rules = third}));
  testkit::WriteFile(folder / "h.mgl", BuildRecGame({.rules = kTwoRules}, {.preamble = testkit::Preamble::kMgl}));
  testkit::WriteFile(folder / "noai.mgx", BuildRecGame({.aiFlag = 0}));
  testkit::WriteFile(folder / "broken.mgx", std::vector<uint8_t>{40, 0, 0, 0, 1, 2});

  const std::map<std::string, std::string> expected = {
      {"G.mgz.per", ScriptText(kOneRule)}, {"g-2.mgx.per", ScriptText(third)}, {"g.mgx.per", ScriptText(kTwoRules)},
      {"g.mgx-2.per", ScriptText(kOneRule)}, {"h.per", ScriptText(kTwoRules)}};
  for (const char* jobs : {"1", "4"}) {
    const fs::path out = dir.Path() / "out" / jobs;
    const CliRun all = RunCli({"extract-all", folder.string(), "-d", out.string(), "-j", jobs});
    EXPECT_EQ(all.status, kExitGamesFailed);
    EXPECT_EQ(all.out, "6 recorded games: 4 extracted, 1 without AI script, 1 broken, 0 failed\n");
    EXPECT_EQ(all.err, "velkorin: " + (folder / "broken.mgx").string() + ": Recgame file is broken\n");
    for (const auto& [name, text] : expected) EXPECT_EQ(testkit::ReadText(out / name), text) << name << " -j " << jobs;
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 5) << "-j " << jobs;
  }

  // A failure to write one script counts as a failed game; with nothing broken or failed, status 0.
  fs::remove(folder / "broken.mgx");
  const fs::path out = dir.Path() / "again";
  fs::create_directories(out / "h.per");  // a folder where a script goes
  for (const bool inTheWay : {true, false}) {
    if (!inTheWay) fs::remove(out / "h.per");
    const CliRun again = RunCli({"extract-all", folder.string(), "-d", out.string(), "-j", "2"});
    EXPECT_EQ(again.status, inTheWay ? kExitGamesFailed : kExitOk);
    EXPECT_EQ(again.out, inTheWay ? "5 recorded games: 3 extracted, 1 without AI script, 0 broken, 1 failed\n"
                                  : "5 recorded games: 4 extracted, 1 without AI script, 0 broken, 0 failed\n");
    EXPECT_EQ(again.err.find("h.per") != std::string::npos, inTheWay) << again.err;
  }
}

struct ProblemCase : testkit::NamedCase {
  std::vector<std::string> args;
  int status;
  std::string err;  // how standard error begins
};

class FolderCommandProblem : public testing::TestWithParam<ProblemCase> {};

TEST_P(FolderCommandProblem, HasItsStatusAndMessage) {
  const CliRun run = RunCli(GetParam().args);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_TRUE(run.err.starts_with(GetParam().err)) << run.err;
  EXPECT_EQ(run.out, "");
}

const std::string kSample = VELKORIN_SAMPLES_DIR "/sample.mgx";

INSTANTIATE_TEST_SUITE_P(
    CommandLines, FolderCommandProblem,
    testing::Values(
        ProblemCase{"ListMissingFolder", {"list", "no-such-folder"}, kExitFileOpenError,
                    "velkorin: no-such-folder: cannot read the folder: "},
        ProblemCase{"NoOutputFolder", {"extract-all", "a"}, kExitUsage,
                    "velkorin: no OUTDIR given (-d OUTDIR)\n"},
        ProblemCase{"TooManyJobs", {"extract-all", "a", "-d", "out", "--jobs=65"}, kExitUsage,
                    "velkorin: option --jobs takes a whole number from 1 to 64\n"},
        ProblemCase{"MissingFolder", {"extract-all", "no-such-folder", "-d", "out"}, kExitFileOpenError,
                    "velkorin: no-such-folder: cannot read the folder: "},
        ProblemCase{"OutputFolderIsAFile", {"extract-all", VELKORIN_SAMPLES_DIR, "-d", kSample}, kExitFileWriteError,
                    "velkorin: " + kSample + ": File Write Error: "},
        // Where a name stands, a word that looks like an option is a name: none of these asks for help.
        ProblemCase{"GameNamedLikeAnOption", {"extract", "--", "-h"}, kExitFileOpenError, "velkorin: -h: File Open Error\n"},
        ProblemCase{"OutputNamedLikeAnOption", {"extract", "no.mgx", "-o", "--help"}, kExitFileOpenError,
                    "velkorin: no.mgx: File Open Error\n"},
        ProblemCase{"FolderNamedLikeAnOption", {"extract-all", "no", "--directory", "--version"}, kExitFileOpenError,
                    "velkorin: no: cannot read the folder: "}),
    testkit::CaseName());

}  // namespace
