#include <gtest/gtest.h>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

namespace {

#ifndef O_BINARY
#define O_BINARY 0
#endif

using testkit::Action;
using testkit::CliRun;
using testkit::Fact;
using testkit::kTwoRules;
using testkit::MakeRule;
using testkit::RunCli;

// A run whose standard output (descriptor 1) goes to a file, and what the file then holds.
std::pair<CliRun, std::string> RunToStandardOutput(const std::vector<std::string>& args, const std::string& file) {
  std::fflush(stdout);
  const int saved = dup(1);
  const int redirected = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0644);
  dup2(redirected, 1);
  close(redirected);
  const CliRun run = RunCli(args);
  std::fflush(stdout);
  const int stillOpen = dup(1);
  EXPECT_GE(stillOpen, 0) << "the command closed standard output";
  close(stillOpen);
  dup2(saved, 1);
  close(saved);
  return {run, testkit::ReadText(file)};
}

class Extract : public testing::Test {
 protected:
  Extract() {
    testkit::WriteFile(dir.Path() / "ai.mgx", testkit::BuildRecGame({.rules = kTwoRules}));
    testkit::WriteFile(dir.Path() / "noai.mgx", testkit::BuildRecGame({.aiFlag = 0}));
    testkit::WriteFile(dir.Path() / "broken.mgx", std::vector<uint8_t>{40, 0, 0, 0, 1, 2});
  }

  testkit::ScratchDir dir;
  const std::string expected = testkit::ScriptText(kTwoRules);
};

// A file of the user's at the temporary file's name is kept, whatever the result, and nothing else is
// left beside the recorded game.
TEST_F(Extract, EachResultHasItsStatusAndMessageAndKeepsTheUsersFiles) {
  struct Result {
    std::string recGame;
    int status;
    std::string message;
  };
  const std::vector<Result> results = {
      {dir.File("ai.mgx"), kExitOk, ""},
      {dir.File("missing.mgx"), kExitFileOpenError, "File Open Error"},
      {dir.File(""), kExitFileOpenError, "File Open Error"},
      {dir.File("noai.mgx"), kExitNoAiScript, "No AI script in this file"},
      {dir.File("broken.mgx"), kExitBrokenRecGame, "Recgame file is broken"},
  };
  const std::vector<uint8_t> users(10, 'u');
  for (const Result& result : results) {
    testkit::WriteFile(result.recGame + ".tmp", users);
    const std::vector<std::string> before = dir.Entries();
    const CliRun run = RunCli({"extract", result.recGame, "-o", dir.File("out.per")});
    EXPECT_EQ(run.status, result.status) << result.recGame;
    EXPECT_EQ(run.err, result.message.empty() ? "" : "velkorin: " + result.recGame + ": " + result.message + "\n");
    const std::filesystem::path out = dir.Path() / "out.per";
    EXPECT_EQ(std::filesystem::exists(out) ? testkit::ReadText(out) : "", result.status == kExitOk ? expected : "");
    EXPECT_EQ(testkit::ReadFile(result.recGame + ".tmp"), users) << result.recGame;
    std::filesystem::remove(out);
    EXPECT_EQ(dir.Entries(), before) << result.recGame;
  }
}

// Outputs that cannot be written, among them the recorded game under whichever name it is given;
// the recorded game stays as it was.
TEST_F(Extract, AnOutputThatCannotBeWrittenHasItsStatusAndSaysWhy) {
  const std::vector<uint8_t> game = testkit::ReadFile(dir.Path() / "ai.mgx");
  std::filesystem::create_hard_link(dir.Path() / "ai.mgx", dir.Path() / "hard.per");
  struct Output {
    std::string path;
    int status;
    std::string err;
  };
  const std::string itself = ": File Write Error: it is the recorded game itself\n";
  std::vector<Output> outputs = {
      {dir.File("missing/out.per"), kExitFileWriteError, "velkorin: " + dir.File("missing/out.per") + ": File Write Error\n"},
      {dir.Path().string(), kExitFileWriteError, "velkorin: " + dir.Path().string() + ": File Write Error\n"},
      {dir.File("ai.mgx"), kExitFileWriteError, "velkorin: " + dir.File("ai.mgx") + itself},
      {dir.File("hard.per"), kExitFileWriteError, "velkorin: " + dir.File("hard.per") + itself},
  };
#ifndef _WIN32
  std::filesystem::create_symlink(dir.Path() / "ai.mgx", dir.Path() / "soft.per");
  outputs.push_back({dir.File("soft.per"), kExitFileWriteError, "velkorin: " + dir.File("soft.per") + itself});
  outputs.push_back({"/dev/full", kExitFileError, "velkorin: Cannot write /dev/full: No space left on device\n"});
#endif
  for (const Output& output : outputs) {
    const CliRun run = RunCli({"extract", dir.File("ai.mgx"), "-o", output.path});
    EXPECT_EQ(run.status, output.status) << output.path;
    EXPECT_EQ(run.err, output.err);
    EXPECT_EQ(testkit::ReadFile(dir.Path() / "ai.mgx"), game);
  }
}

// A few kilobytes of recorded game quote a long string so often that the text would not fit on any disk.
TEST_F(Extract, AScriptOfMoreThanAGibibyteIsBrokenAndWritesNothing) {
  const testkit::AiSectionSpec section = {.strings = {std::string(2 << 20, 'x')},
                                          .rules = std::vector(40, MakeRule({}, std::vector(16, Action(13, 0))))};
  testkit::WriteFile(dir.Path() / "huge.mgx", testkit::BuildRecGame(section));
  for (const std::string& output : {dir.File("huge.per"), std::string("-")}) {
    const auto [run, out] = RunToStandardOutput({"extract", dir.File("huge.mgx"), "-o", output}, dir.File("stdout.per"));
    EXPECT_EQ(run.status, kExitBrokenRecGame);
    EXPECT_EQ(run.err, "velkorin: " + dir.File("huge.mgx") +
                           ": Recgame file is broken: its script would take more than 1 GiB of text\n");
    EXPECT_EQ(out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "huge.per"));
}

// A game with three computer players, each with a script of its own.
TEST_F(Extract, ScriptsAreWrittenByNumberOrAll) {
  const std::vector<std::vector<testkit::RuleSpec>> scripts = {
      kTwoRules, {2, MakeRule({Fact(2)}, {Action(30)})}, {3, MakeRule({Fact(3)}, {Action(30)})}};
  testkit::WriteFile(dir.Path() / "three.mgx",
                     testkit::BuildRecGame({.rules = scripts[0], .moreScripts = {scripts[1], scripts[2]}}));
  std::vector<std::string> texts;
  for (const auto& rules : scripts) texts.push_back(testkit::ScriptText(rules));

  EXPECT_EQ(RunCli({"extract", dir.File("three.mgx"), "--script", "2", "-o", dir.File("two.per")}).status, kExitOk);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "two.per"), texts[1]);
  EXPECT_EQ(RunCli({"extract", dir.File("three.mgx"), "--all", "-o", dir.File("each.per")}).status, kExitOk);
  for (size_t n = 0; n < 3; ++n) {
    EXPECT_EQ(testkit::ReadText(dir.Path() / ("each-" + std::to_string(n + 1) + ".per")), texts[n]);
  }
  // Standard output gets the bytes a file would, the scripts one after another.
  const auto [one, first] = RunToStandardOutput({"extract", "--output=-", dir.File("three.mgx")}, dir.File("stdout.per"));
  EXPECT_EQ(first, texts[0]);
  const auto [run, out] = RunToStandardOutput({"extract", dir.File("three.mgx"), "--all"}, dir.File("stdout.per"));
  EXPECT_EQ(out, "; script 1 of 3\r\n" + texts[0] + "; script 2 of 3\r\n" + texts[1] + "; script 3 of 3\r\n" + texts[2]);

  const CliRun beyond = RunCli({"extract", dir.File("three.mgx"), "--script", "4", "-o", dir.File("four.per")});
  EXPECT_EQ(beyond.status, kExitNoSuchScript);
  EXPECT_EQ(beyond.err, "velkorin: " + dir.File("three.mgx") + ": No script 4 in this file: it holds 3\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "four.per"));
}

// A game that stopped before it wrote its header-length field is broken, unless salvaged.
TEST_F(Extract, SalvageReadsAHeaderWhoseLengthFieldIsZero) {
  const std::vector<uint8_t> header = testkit::BuildHeader({.rules = kTwoRules});
  testkit::WriteFile(dir.Path() / "zero.mgx", testkit::Frame(testkit::Deflate(header), {.headerLength = 0, .body = {1, 2}}));
  EXPECT_EQ(RunCli({"extract", dir.File("zero.mgx"), "-o", dir.File("out.per")}).status, kExitBrokenRecGame);
  EXPECT_EQ(RunCli({"extract", dir.File("zero.mgx"), "--salvage", "-o", dir.File("out.per")}).status, kExitOk);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), expected);
}

struct UsageCase : testkit::NamedCase {
  std::vector<std::string> args;
  const char* problem;
};

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, IsStatus64WithTheProblemAndTheUsage) {
  const CliRun run = RunCli(GetParam().args);
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.err.starts_with(std::string("velkorin: ") + GetParam().problem + "\nUsage: velkorin extract RECGAME"))
      << run.err;
  EXPECT_TRUE(run.err.ends_with("\nTry 'velkorin --help' for more information.\n")) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, Usage,
    testing::Values(UsageCase{"Nothing", {}, "no command given"},
                    UsageCase{"UnknownCommand", {"unpack", "a.mgx"}, "unknown command unpack"},
                    UsageCase{"NoRecordedGame", {"extract", "-o", "a.per"}, "no recorded game given"},
                    UsageCase{"TwoRecordedGames", {"extract", "a.mgx", "b.mgx"},
                              "only one recorded game can be extracted at a time"},
                    UsageCase{"OutputWithoutName", {"extract", "a.mgx", "-o"}, "option --output needs OUT"},
                    UsageCase{"EmptyOutputName", {"extract", "a.mgx", "--output="}, "option --output needs OUT"},
                    UsageCase{"TwoOutputs", {"extract", "a.mgx", "-o", "a.per", "--output=b.per"},
                              "option --output can be given only once"},
                    UsageCase{"UnknownOption", {"extract", "-x", "a.mgx"}, "unknown option -x"},
                    UsageCase{"ValueForAFlag", {"extract", "a.mgx", "--all=yes"}, "option --all takes no value"},
                    UsageCase{"ScriptAndAll", {"extract", "a.mgx", "--all", "--script", "2"},
                              "--script and --all exclude each other"},
                    UsageCase{"ScriptZero", {"extract", "a.mgx", "--script=0"},
                              "option --script takes a whole number from 1 to 8"},
                    UsageCase{"ScriptNotANumber", {"extract", "a.mgx", "--script", "2x"},
                              "option --script takes a whole number from 1 to 8"},
                    UsageCase{"NamesOfNoSet", {"extract", "a.mgx", "--names", "short"},
                              "option --names takes full or standard"},
                    UsageCase{"VersionAsAValue", {"extract", "a", "--script", "--version"},
                              "option --script takes a whole number from 1 to 8"},
                    UsageCase{"OptionAfterTheEnd", {"extract", "--", "a", "--help"},
                              "only one recorded game can be extracted at a time"},
                    UsageCase{"ControlCharacters", {"extract", "a.mgx", "--\x1b[2J\n"}, "unknown option --\\033[2J\\n"},
                    UsageCase{"OptionBeforeTheCommand", {"--all", "extract", "a.mgx"}, "unknown option --all"}),
    testkit::CaseName());

TEST(Cli, HelpAndVersionGoToStandardOutput) {
  const CliRun help = RunCli({"extract", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_TRUE(help.out.starts_with("Usage: velkorin extract RECGAME")) << help.out;
  EXPECT_NE(help.out.find("No AI script in this file"), std::string::npos);
  EXPECT_EQ(RunCli({"--version"}).out, "velkorin " VELKORIN_VERSION "\n");
}

}  // namespace
