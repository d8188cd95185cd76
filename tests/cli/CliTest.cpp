#include <gtest/gtest.h>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

#ifndef O_BINARY
#define O_BINARY 0
#endif

using testkit::Action;
using testkit::AiSectionSpec;
using testkit::Fact;
using testkit::MakeRule;
using testkit::ScratchDir;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunVelkorin(args, out, err);
  return {status, out.str(), err.str()};
}

// Sends the process's standard output (descriptor 1) to a file while the object lives.
class StdoutToFile {
 public:
  explicit StdoutToFile(const std::string& path) {
    std::fflush(stdout);
    m_saved = dup(1);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, 0644);
    dup2(file, 1);
    close(file);
  }
  ~StdoutToFile() {
    std::fflush(stdout);
    dup2(m_saved, 1);
    close(m_saved);
  }
  StdoutToFile(const StdoutToFile&) = delete;
  StdoutToFile& operator=(const StdoutToFile&) = delete;

 private:
  int m_saved = -1;
};

AiSectionSpec Section() {
  AiSectionSpec section;
  section.strings = {"hello"};
  section.rules = {MakeRule({Fact(2, 1)}, {Action(59, 2)}), MakeRule({}, {Action(13, 0)})};
  return section;
}

class Extract : public testing::Test {
 protected:
  Extract() {
    testkit::WriteFile(dir.Path() / "ai.mgx", testkit::BuildRecGame(Section()));
    AiSectionSpec noAi = Section();
    noAi.aiFlag = 0;
    testkit::WriteFile(dir.Path() / "noai.mgx", testkit::BuildRecGame(noAi));
    testkit::WriteFile(dir.Path() / "broken.mgx", std::vector<uint8_t>{40, 0, 0, 0, 1, 2});
    testkit::WriteFile(dir.Path() / "corrupt.mgx", testkit::Frame(std::vector<uint8_t>(20, 0xFF)));
  }

  std::string ExpectedScript() const { return testkit::WritePerText(*testkit::LoadSection(Section())); }

  ScratchDir dir;
};

TEST_F(Extract, StandardOutputGetsTheSameBytesAsAFile) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"extract", dir.File("ai.mgx")},
        std::vector<std::string>{"extract", "--output", "-", dir.File("ai.mgx")},
        std::vector<std::string>{"extract", dir.File("ai.mgx"), "--output=-"}}) {
    CliRun run;
    {
      StdoutToFile redirect(dir.File("stdout.per"));
      run = RunCli(args);
    }
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(testkit::ReadText(dir.Path() / "stdout.per"), ExpectedScript()) << args[1];
  }
}

// A file of the user's at the temporary file's name is kept, whatever the result.
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
      {dir.File("corrupt.mgx"), kExitBrokenRecGame, "Recgame file is broken"},
  };
  const std::vector<uint8_t> users(10, 'u');
  for (const Result& result : results) {
    testkit::WriteFile(result.recGame + ".tmp", users);
    const CliRun run = RunCli({"extract", result.recGame, "-o", dir.File("out.per")});
    EXPECT_EQ(run.status, result.status) << result.recGame;
    EXPECT_EQ(run.err, result.message.empty() ? "" : "velkorin: " + result.recGame + ": " + result.message + "\n");
    const std::filesystem::path out = dir.Path() / "out.per";
    EXPECT_EQ(std::filesystem::exists(out) ? testkit::ReadText(out) : "", result.status == kExitOk ? ExpectedScript() : "");
    EXPECT_EQ(testkit::ReadFile(result.recGame + ".tmp"), users) << result.recGame;
    std::filesystem::remove(out);
  }
}

// The recorded game is never the output, under whichever name it is given.
TEST_F(Extract, TheRecordedGameItselfIsRefusedAsOutput) {
  const std::vector<uint8_t> game = testkit::ReadFile(dir.Path() / "ai.mgx");
  std::filesystem::create_hard_link(dir.Path() / "ai.mgx", dir.Path() / "hard.per");
  std::vector<std::string> outputs = {dir.File("ai.mgx"), dir.File("hard.per")};
#ifndef _WIN32
  std::filesystem::create_symlink(dir.Path() / "ai.mgx", dir.Path() / "soft.per");
  outputs.push_back(dir.File("soft.per"));
#endif
  for (const std::string& output : outputs) {
    const CliRun run = RunCli({"extract", dir.File("ai.mgx"), "-o", output});
    EXPECT_EQ(run.status, kExitFileWriteError);
    EXPECT_EQ(run.err, "velkorin: " + output + ": File Write Error: it is the recorded game itself\n");
    EXPECT_EQ(testkit::ReadFile(dir.Path() / "ai.mgx"), game);
  }
}

// A few kilobytes of recorded game quote a long string so often that the text would not fit on any disk.
TEST_F(Extract, AScriptOfMoreThanAGibibyteIsBrokenAndWritesNothing) {
  AiSectionSpec section;
  section.strings = {std::string(2 << 20, 'x')};
  section.rules.assign(40, MakeRule({}, std::vector<AiElement>(16, Action(13, 0))));
  testkit::WriteFile(dir.Path() / "huge.mgx", testkit::BuildRecGame(section));
  for (const std::string& output : {dir.File("huge.per"), std::string("-")}) {
    CliRun run;
    {
      StdoutToFile redirect(dir.File("stdout.per"));
      run = RunCli({"extract", dir.File("huge.mgx"), "-o", output});
    }
    EXPECT_EQ(run.status, kExitBrokenRecGame);
    EXPECT_EQ(run.err, "velkorin: " + dir.File("huge.mgx") +
                           ": Recgame file is broken: its script would take more than 1 GiB of text\n");
    EXPECT_EQ(testkit::ReadText(dir.Path() / "stdout.per"), "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "huge.per"));
}

// A game with three computer players, each with a script of its own.
class Scripts : public Extract {
 protected:
  Scripts() {
    AiSectionSpec section = Section();
    for (const int16_t n : {int16_t{2}, int16_t{3}}) {
      section.rules.assign(static_cast<size_t>(n), MakeRule({Fact(n)}, {Action(30)}));
      texts.push_back(testkit::WritePerText(*testkit::LoadSection(section)));
      const std::vector<uint8_t> block = testkit::BuildAiBlock(section.rules);
      trailer.insert(trailer.end(), block.begin(), block.end());
    }
    AiSectionSpec three = Section();
    three.trailer = trailer;
    testkit::WriteFile(dir.Path() / "three.mgx", testkit::BuildRecGame(three));
    texts.insert(texts.begin(), ExpectedScript());
  }

  std::vector<uint8_t> trailer;
  std::vector<std::string> texts;  // of the three scripts
};

TEST_F(Scripts, AreWrittenByNumberOrAll) {
  EXPECT_EQ(RunCli({"extract", dir.File("three.mgx"), "--script", "2", "-o", dir.File("two.per")}).status, kExitOk);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "two.per"), texts[1]);

  EXPECT_EQ(RunCli({"extract", dir.File("three.mgx"), "--all", "-o", dir.File("each.per")}).status, kExitOk);
  for (size_t n = 0; n < 3; ++n) {
    EXPECT_EQ(testkit::ReadText(dir.Path() / ("each-" + std::to_string(n + 1) + ".per")), texts[n]);
  }

  CliRun run;
  {
    StdoutToFile redirect(dir.File("stdout.per"));
    run = RunCli({"extract", dir.File("three.mgx"), "--all"});
  }
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "stdout.per"), "; script 1 of 3\r\n" + texts[0] + "; script 2 of 3\r\n" +
                                                             texts[1] + "; script 3 of 3\r\n" + texts[2]);
}

TEST_F(Scripts, ANumberBeyondTheLastIsStatus6) {
  const CliRun run = RunCli({"extract", dir.File("three.mgx"), "--script", "4", "-o", dir.File("four.per")});
  EXPECT_EQ(run.status, kExitNoSuchScript);
  EXPECT_EQ(run.err, "velkorin: " + dir.File("three.mgx") + ": No script 4 in this file: it holds 3\n");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "four.per"));
}

// A game that stopped before it wrote its header-length field is broken, unless salvaged.
TEST_F(Extract, SalvageReadsAHeaderWhoseLengthFieldIsZero) {
  testkit::WriteFile(dir.Path() / "zero.mgx", testkit::Frame(testkit::Deflate(testkit::BuildHeader(Section())),
                                                             {.headerLength = 0, .body = {1, 2, 3, 4, 5}}));
  EXPECT_EQ(RunCli({"extract", dir.File("zero.mgx"), "-o", dir.File("out.per")}).status, kExitBrokenRecGame);
  EXPECT_EQ(RunCli({"extract", dir.File("zero.mgx"), "--salvage", "-o", dir.File("out.per")}).status, kExitOk);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), ExpectedScript());
}

TEST_F(Extract, OutputThatCannotBeCreatedIsStatus4) {
  const std::string out = dir.File("missing/out.per");
  const CliRun run = RunCli({"extract", dir.File("ai.mgx"), "-o", out});
  EXPECT_EQ(run.status, kExitFileWriteError);
  EXPECT_EQ(run.err, "velkorin: " + out + ": File Write Error\n");
}

#ifndef _WIN32
TEST_F(Extract, AFailedWriteIsStatus5AndNamesTheFileAndTheError) {
  const CliRun run = RunCli({"extract", dir.File("ai.mgx"), "-o", "/dev/full"});
  EXPECT_EQ(run.status, kExitFileError);
  EXPECT_EQ(run.err, "velkorin: Cannot write /dev/full: No space left on device\n");
}
#endif

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
                    UsageCase{"NoRecordedGame", {"extract"}, "no recorded game given"},
                    UsageCase{"OnlyAnOutput", {"extract", "-o", "a.per"}, "no recorded game given"},
                    UsageCase{"TwoRecordedGames", {"extract", "a.mgx", "b.mgx"},
                              "only one recorded game can be extracted at a time"},
                    UsageCase{"OutputWithoutName", {"extract", "a.mgx", "-o"}, "option -o needs a file name"},
                    UsageCase{"EmptyOutputName", {"extract", "a.mgx", "--output="}, "option --output needs a file name"},
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
                              "option --names takes full or standard"}),
    testkit::CaseName());

TEST(Cli, HelpAndVersionGoToStandardOutput) {
  const CliRun help = RunCli({"extract", "--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_TRUE(help.out.starts_with("Usage: velkorin extract RECGAME")) << help.out;
  EXPECT_NE(help.out.find("No AI script in this file"), std::string::npos);
  EXPECT_EQ(help.err, "");

  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "velkorin " VELKORIN_VERSION "\n");
}

}  // namespace
