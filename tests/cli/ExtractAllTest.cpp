#include <gtest/gtest.h>

#include <fcntl.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

namespace {

namespace fs = std::filesystem;
using enum cli::ExitStatus;
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

// Names that meet only where case is ignored by Unicode's rules, and a name that is only an extension.
TEST(ExtractAll, NamesMeetingWithoutRegardToCaseKeepTheirExtensionAndNoNameIsHidden) {
  testkit::ScratchDir dir;
  const fs::path folder = dir.Path() / "games";
  fs::create_directory(folder);
  for (const char8_t* name : {u8"Ärger.mgx", u8"ärger.mgz", u8".mgx"}) {
    testkit::WriteFile(folder / name, BuildRecGame({.rules = kOneRule}));
  }
  const CliRun run = RunCli({"extract-all", folder.string(), "-d", dir.File("out")});
  EXPECT_EQ(run.out, "3 recorded games: 3 extracted, 0 without AI script, 0 broken, 0 failed\n");
  for (const char8_t* name : {u8"Ärger.mgx.per", u8"ärger.mgz.per", u8"mgx.per"}) {
    EXPECT_EQ(testkit::ReadText(dir.Path() / "out" / name), ScriptText(kOneRule)) << fs::path(name).string();
  }
}

#ifndef _WIN32

struct InTheWayCase : testkit::NamedCase {
  void (*put)(const fs::path& at);  // puts something at the script's name, DIR/out/victim.per
  std::string reason;               // why the game fails; empty when it is extracted
};

class ExtractAllOutput : public testing::TestWithParam<InTheWayCase> {};

// Only a regular file at a script's name is replaced, and only by rename: nothing else there is
// written through, opened or changed, and the game fails saying why.
TEST_P(ExtractAllOutput, ReplacesOnlyARegularFile) {
  testkit::ScratchDir dir;
  const fs::path games = dir.Path() / "games";
  fs::create_directories(games);
  fs::create_directories(dir.Path() / "out");
  testkit::WriteFile(games / "victim.mgx", BuildRecGame({.rules = kTwoRules}));
  testkit::WriteFile(games / "other.mgx", BuildRecGame({.rules = kOneRule}));
  testkit::WriteFile(dir.Path() / "outside.txt", std::vector<uint8_t>(3, 'o'));
  const fs::path at = dir.Path() / "out" / "victim.per";
  GetParam().put(at);
  const std::vector<uint8_t> otherGame = testkit::ReadFile(games / "other.mgx");
  // A reader on the FIFO, so that a run that opened it for writing would not wait for one.
  const int reader = open(at.c_str(), O_RDONLY | O_NONBLOCK);
  const fs::file_status before = fs::symlink_status(at);

  const CliRun run = RunCli({"extract-all", games.string(), "-d", (dir.Path() / "out").string()});
  if (reader >= 0) close(reader);
  const bool fails = !GetParam().reason.empty();
  EXPECT_EQ(run.status, fails ? kExitGamesFailed : kExitOk);
  EXPECT_EQ(run.out, fails ? "2 recorded games: 1 extracted, 0 without AI script, 0 broken, 1 failed\n"
                           : "2 recorded games: 2 extracted, 0 without AI script, 0 broken, 0 failed\n");
  EXPECT_EQ(run.err, fails ? "velkorin: " + at.string() + ": File Write Error: " + GetParam().reason + "\n" : "");
  EXPECT_EQ(fs::symlink_status(at).type(), fails ? before.type() : fs::file_type::regular);
  if (!fails) {
    EXPECT_EQ(testkit::ReadText(at), ScriptText(kTwoRules));
  }
  EXPECT_EQ(testkit::ReadFile(games / "other.mgx"), otherGame);
  EXPECT_EQ(testkit::ReadFile(dir.Path() / "outside.txt"), std::vector<uint8_t>(3, 'o'));
  EXPECT_EQ(testkit::ReadText(dir.Path() / "out" / "other.per"), ScriptText(kOneRule));
}

INSTANTIATE_TEST_SUITE_P(
    InTheWay, ExtractAllOutput,
    testing::Values(
        InTheWayCase{"LinkToAnotherGame", [](const fs::path& at) { fs::create_symlink("../games/other.mgx", at); },
                     "it is a symbolic link"},
        InTheWayCase{"LinkOutside", [](const fs::path& at) { fs::create_symlink("../outside.txt", at); },
                     "it is a symbolic link"},
        InTheWayCase{"DanglingLink", [](const fs::path& at) { fs::create_symlink("../nowhere", at); },
                     "it is a symbolic link that leads nowhere"},
        InTheWayCase{"Fifo", [](const fs::path& at) { mkfifo(at.c_str(), 0644); }, "it is not a regular file"},
        InTheWayCase{"Folder", [](const fs::path& at) { fs::create_directory(at); }, "it is a folder"},
        InTheWayCase{"HardLinkToAnotherGame",
                     [](const fs::path& at) { fs::create_hard_link(at.parent_path() / "../games/other.mgx", at); }, ""}),
    testkit::CaseName());

#endif

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
        ProblemCase{"ListMissingOperand", {"list", "no-such-folder"}, kExitFileOpenError,
                    "velkorin: no-such-folder: cannot be listed: "},
        ProblemCase{"ListEncodingOfNoCodePage", {"list", "--encoding", "utf-8"}, kExitUsage,
                    "velkorin: option --encoding takes windows-1252, gbk, big5, shift_jis, euc-kr or windows-1251\n"},
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
