#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

namespace {

namespace fs = std::filesystem;
using testkit::BuildGame;
using testkit::CliRun;
using testkit::MakeRule;
using testkit::RunCli;
using testkit::ScriptText;

const std::vector<testkit::RuleSpec> kFirst = {MakeRule({testkit::Fact(2, 1)}, {testkit::Action(59, 2)}),
                                               MakeRule({}, {testkit::Action(13, 0)})};
const std::vector<testkit::RuleSpec> kSecond = {MakeRule({testkit::Fact(3)}, {testkit::Action(30)})};
const std::vector<testkit::RuleSpec> kThird = {MakeRule({testkit::Fact(6, 3, 5)}, {testkit::Action(31)})};

// Games whose script files would meet by their names without extension ("g.mgx" and "G.mgz" in a
// folder that ignores case, and "g-2.mgx" with the second script of "g.mgx"), one without AI script
// and a broken one.
class ExtractAll : public testing::Test {
 protected:
  ExtractAll() {
    fs::create_directory(folder);
    testkit::WriteFile(folder / "g.mgx", BuildGame({.scripts = {kFirst, kSecond}}));
    testkit::WriteFile(folder / "G.mgz", BuildGame({.scripts = {kSecond}}));
    testkit::WriteFile(folder / "g-2.mgx", BuildGame({.scripts = {kThird}}));
    testkit::WriteFile(folder / "h.mgl", BuildGame({.scripts = {kFirst}, .preamble = testkit::Preamble::kMgl}));
    testkit::WriteFile(folder / "noai.mgx", BuildGame({}));
    testkit::WriteFile(folder / "broken.mgx", std::vector<uint8_t>{40, 0, 0, 0, 1, 2});
  }

  CliRun Run(const fs::path& out, const char* jobs = "2") {
    return RunCli({"extract-all", folder.string(), "-d", out.string(), "-j", jobs});
  }

  static std::map<std::string, std::string> TextsIn(const fs::path& out) {
    std::map<std::string, std::string> texts;
    for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
      texts[entry.path().filename().string()] = testkit::ReadText(entry.path());
    }
    return texts;
  }

  testkit::ScratchDir dir;
  fs::path folder = dir.Path() / "games";
};

TEST_F(ExtractAll, WritesEveryScriptOnceUnderItsOwnNameWhateverTheJobs) {
  const std::map<std::string, std::string> expected = {
      {"G.mgz.per", ScriptText(kSecond)}, {"g-2.mgx.per", ScriptText(kThird)}, {"g.mgx.per", ScriptText(kFirst)},
      {"g.mgx-2.per", ScriptText(kSecond)}, {"h.per", ScriptText(kFirst)}};
  for (const char* jobs : {"1", "4"}) {
    const fs::path out = dir.Path() / "out" / jobs;
    const CliRun run = Run(out, jobs);
    EXPECT_EQ(run.status, kExitGamesFailed);
    EXPECT_EQ(run.out, "6 recorded games: 4 extracted, 1 without AI script, 1 broken, 0 failed\n");
    EXPECT_EQ(run.err, "velkorin: " + (folder / "broken.mgx").string() + ": Recgame file is broken\n");
    EXPECT_EQ(TextsIn(out), expected) << "-j " << jobs;
  }
}

// A failure to write one script counts as a failed game; with nothing broken or failed, status 0.
TEST_F(ExtractAll, ExitsWith0UnlessAGameIsBrokenOrFails) {
  fs::remove(folder / "broken.mgx");
  const fs::path out = dir.Path() / "out";
  fs::create_directories(out / "h.per");  // a folder where a script goes
  for (const bool inTheWay : {true, false}) {
    if (!inTheWay) fs::remove(out / "h.per");
    const CliRun run = Run(out);
    EXPECT_EQ(run.status, inTheWay ? kExitGamesFailed : kExitOk);
    EXPECT_EQ(run.out, inTheWay ? "5 recorded games: 3 extracted, 1 without AI script, 0 broken, 1 failed\n"
                                : "5 recorded games: 4 extracted, 1 without AI script, 0 broken, 0 failed\n");
    EXPECT_EQ(run.err.find("h.per") != std::string::npos, inTheWay) << run.err;
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
                    "velkorin: no output folder given (-d OUTDIR)\n"},
        ProblemCase{"TooManyJobs", {"extract-all", "a", "-d", "out", "--jobs=65"}, kExitUsage,
                    "velkorin: option --jobs takes a whole number from 1 to 64\n"},
        ProblemCase{"MissingFolder", {"extract-all", "no-such-folder", "-d", "out"}, kExitFileOpenError,
                    "velkorin: no-such-folder: cannot read the folder: "},
        ProblemCase{"OutputFolderIsAFile", {"extract-all", VELKORIN_SAMPLES_DIR, "-d", kSample}, kExitFileWriteError,
                    "velkorin: " + kSample + ": File Write Error: "}),
    testkit::CaseName());

}  // namespace
