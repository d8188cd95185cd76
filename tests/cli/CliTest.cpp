#include <gtest/gtest.h>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/OsFile.h"
#else
#include <sys/wait.h>
#include <unistd.h>

#include "tests/testkit/Child.h"
#endif

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

namespace {

#ifndef O_BINARY
#define O_BINARY 0
#endif

using enum cli::ExitStatus;
using testkit::Action;
using testkit::CliRun;
using testkit::Fact;
using testkit::kTwoRules;
using testkit::MakeRule;
using testkit::RunCli;

// A run whose standard output (descriptor 1) goes to a file, opened as the shell's "> FILE" opens it
// unless `flags` says otherwise, and what the file then holds.
std::pair<CliRun, std::string> RunToStandardOutput(const std::vector<std::string>& args, const std::string& file,
                                                   int flags = O_WRONLY | O_CREAT | O_TRUNC) {
  std::fflush(stdout);
  const int saved = dup(1);
  const int redirected = open(file.c_str(), flags | O_BINARY, 0644);
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

// A run as a user without the rights of an administrator, whose file permissions apply to it.
CliRun RunAsOrdinaryUser(const std::vector<std::string>& args) {
#ifdef _WIN32
  return RunCli(args);
#else
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {-1, "", "no pipe"};
  const pid_t child = testkit::StartChild(
      [&] {
        const CliRun run = RunCli(args);
        const bool sent = write(pipeEnds[1], run.err.data(), run.err.size()) == static_cast<ssize_t>(run.err.size());
        return sent ? run.status : 125;
      },
      testkit::RunAs::kOrdinaryUser);
  close(pipeEnds[1]);
  std::string err;
  char buffer[4096];
  for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) err.append(buffer, static_cast<size_t>(got));
  close(pipeEnds[0]);
  const int status = testkit::WaitForChild(child);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", err};
#endif
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

// A rule count beyond the rules the header holds is a damaged script, not a missing one: broken, and
// written whole as far as it goes with --salvage. A count of zero or less is an empty script, and
// every front end says what the file claims.
struct ClaimCase : testkit::NamedCase {
  int16_t claimed;
  int status;            // of extract
  std::string said;      // on standard error by extract, after "velkorin: GAME: "
  std::string salvaged;  // by extract --salvage
  std::string listed;    // list's words for the game, without and with --salvage
  std::string listedSalvaged;
  std::string json;  // the game's status and scripts in list --json
};

class RuleClaims : public testing::TestWithParam<ClaimCase> {};

TEST_P(RuleClaims, AreToldApartFromNoScript) {
  const ClaimCase& c = GetParam();
  testkit::ScratchDir dir;
  const std::string game = dir.File("g.mgx");
  testkit::WriteFile(game, testkit::BuildRecGame({.rules = kTwoRules, .ruleCount = c.claimed}));
  const std::string written = c.claimed > 0 ? testkit::ScriptText(kTwoRules) : "";
  const auto line = [&](const std::string& text) { return text.empty() ? "" : "velkorin: " + game + ": " + text + "\n"; };

  const CliRun extract = RunCli({"extract", game, "-o", dir.File("out.per")});
  EXPECT_EQ(extract.status, c.status);
  EXPECT_EQ(extract.err, line(c.said));
  const CliRun salvage = RunCli({"extract", game, "--salvage", "-o", dir.File("salvaged.per")});
  EXPECT_EQ(salvage.status, kExitOk);
  EXPECT_EQ(salvage.err, line(c.salvaged));
  EXPECT_EQ(testkit::ReadText(dir.Path() / "salvaged.per"), written);
  const std::string listed = RunCli({"list", dir.Path().string()}).out;
  EXPECT_NE(listed.find("  " + c.listed + "\n"), std::string::npos) << listed;
  const std::string listedSalvaged = RunCli({"list", "--salvage", dir.Path().string()}).out;
  EXPECT_NE(listedSalvaged.find("  " + c.listedSalvaged + "\n"), std::string::npos) << listedSalvaged;
  const std::string json = RunCli({"list", "--json", dir.Path().string()}).out;
  EXPECT_NE(json.find(c.json), std::string::npos) << json;
}

ClaimCase CutShort(const char* name, int16_t claimed) {
  const std::string count = std::to_string(claimed);
  const std::string cut = "AI script 1 is cut short: it claims " + count + " rules, the file holds 2 whole ones";
  return {{name},
          claimed,
          kExitBrokenRecGame,
          cut + ": --salvage writes those",
          "AI script 1 was cut short: 2 whole rules of the " + count + " it claims",
          cut,
          "1 script: 2 rules (cut short: the file claims " + count + ")",
          R"("status":"broken","scripts":[{"rules":2,"claims":)" + count + R"(,"player":null}])"};
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RuleClaims,
    testing::Values(CutShort("Most", 32767), CutShort("JustBeyondAThousand", 1001), CutShort("Beyond10000", 10001),
                    ClaimCase{{"Negative"}, -1, kExitOk, "AI script 1 holds no rules (the file claims -1)",
                              "AI script 1 holds no rules (the file claims -1)", "1 script: 0 rules (the file claims -1)",
                              "1 script: 0 rules (the file claims -1)",
                              R"("status":"ok","scripts":[{"rules":0,"claims":-1,"player":null}])"},
                    ClaimCase{{"Zero"}, 0, kExitOk, "AI script 1 holds no rules", "AI script 1 holds no rules",
                              "1 script: 0 rules", "1 script: 0 rules", R"("status":"ok","scripts":[{"rules":0,"player":null}])"}),
    testkit::CaseName());

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
#ifdef _WIN32
  SetLastError(ERROR_PATH_NOT_FOUND);  // each version of Windows words it its own way
  const std::string missing = os::LastErrorText();
#else
  const std::string missing = "No such file or directory";
#endif
  std::vector<Output> outputs = {
      {dir.File("missing/out.per"), kExitFileWriteError,
       "velkorin: " + dir.File("missing/out.per") + ": File Write Error: " + missing + "\n"},
      {dir.Path().string(), kExitFileWriteError, "velkorin: " + dir.Path().string() + ": File Write Error: it is a folder\n"},
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

// Standard output that is the recorded game, also by another name, as "1<> GAME" or ">> GAME" give it
// ("> GAME" empties the game before the program starts).
TEST_F(Extract, StandardOutputThatIsTheRecordedGameIsRefused) {
  const std::vector<uint8_t> game = testkit::ReadFile(dir.Path() / "ai.mgx");
  std::filesystem::create_hard_link(dir.Path() / "ai.mgx", dir.Path() / "hard.per");
  for (const int flags : {O_RDWR, O_WRONLY | O_APPEND}) {
    for (const std::string& name : {dir.File("ai.mgx"), dir.File("hard.per")}) {
      const auto [run, out] = RunToStandardOutput({"extract", dir.File("ai.mgx")}, name, flags);
      EXPECT_EQ(run.status, kExitFileWriteError) << name << " " << flags;
      EXPECT_EQ(run.err, "velkorin: " + dir.File("ai.mgx") + ": File Write Error: it is the recorded game itself\n");
      EXPECT_EQ(testkit::ReadFile(dir.Path() / "ai.mgx"), game) << name << " " << flags;
    }
  }
}

// Every script of --all is complete before any replaces its file: the third cannot be written, and
// the first two files stay as they were, with nothing left beside them.
TEST_F(Extract, AllWritesNoFileUnlessEveryScriptCanBeWritten) {
  testkit::WriteFile(dir.Path() / "three.mgx",
                     testkit::BuildRecGame({.rules = kTwoRules, .moreScripts = {kTwoRules, kTwoRules}}));
  const std::vector<uint8_t> old(3, 'o');
  testkit::WriteFile(dir.Path() / "g-1.per", old);
  testkit::WriteFile(dir.Path() / "g-2.per", old);
  std::filesystem::create_directory(dir.Path() / "g-3.per");
  const std::vector<std::string> before = dir.Entries();
  const CliRun run = RunCli({"extract", dir.File("three.mgx"), "--all", "-o", dir.File("g.per")});
  EXPECT_EQ(run.status, kExitFileWriteError);
  EXPECT_EQ(run.err, "velkorin: " + dir.File("g-3.per") + ": File Write Error: it is a folder\n");
  EXPECT_EQ(testkit::ReadFile(dir.Path() / "g-1.per"), old);
  EXPECT_EQ(testkit::ReadFile(dir.Path() / "g-2.per"), old);
  EXPECT_EQ(dir.Entries(), before);
}

// An output the user may not write is refused and kept, by every command that writes scripts, even
// where its folder would let it be replaced.
TEST_F(Extract, AnOutputTheUserMayNotWriteIsRefusedAndKept) {
  namespace fs = std::filesystem;
  fs::create_directories(dir.Path() / "games");
  fs::copy_file(dir.Path() / "ai.mgx", dir.Path() / "games" / "ai.mgx");
  fs::create_directories(dir.Path() / "out");
  const std::vector<uint8_t> old(3, 'o');
  struct Case { std::vector<std::string> args; std::string output; int status; };
  const std::vector<Case> cases = {
      {{"extract", dir.File("ai.mgx"), "-o", dir.File("ro.per")}, dir.File("ro.per"), kExitFileWriteError},
      {{"extract", dir.File("ai.mgx"), "--all", "-o", dir.File("all.per")}, dir.File("all-1.per"), kExitFileWriteError},
      {{"extract-all", dir.File("games"), "-d", dir.File("out")}, (dir.Path() / "out" / "ai.per").string(),
       kExitGamesFailed},
  };
  for (const fs::path& folder : {dir.Path(), dir.Path() / "games", dir.Path() / "out"}) {
    fs::permissions(folder, fs::perms::all);
  }
  for (const Case& c : cases) {
    testkit::WriteFile(c.output, old);
    fs::permissions(c.output, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const CliRun run = RunAsOrdinaryUser(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0];
    EXPECT_TRUE(run.err.starts_with("velkorin: " + c.output + ": File Write Error: it is read-only\n")) << run.err;
    EXPECT_EQ(testkit::ReadFile(c.output), old) << c.output;
    fs::permissions(c.output, fs::perms::owner_write, fs::perm_options::add);
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

// A game with three computer players among humans, each with a script of its own.
TEST_F(Extract, ScriptsAreWrittenByNumberPlayerOrAll) {
  const std::vector<std::vector<testkit::RuleSpec>> scripts = {
      kTwoRules, {2, MakeRule({Fact(2)}, {Action(30)})}, {3, MakeRule({Fact(3)}, {Action(30)})}};
  const testkit::PlayersSpec players = testkit::Players({{1, testkit::kHuman, "Host", 8, 0, 2},
                                                         {2, testkit::kComputer, "\xC6\xEB\xB9\xC8\xB5\xC2", 11, 2, 3},
                                                         {4, testkit::kComputer, "Bot", 4, 1, 1},
                                                         {5, testkit::kComputer, "Last", 18, 4, 3}});
  testkit::WriteFile(dir.Path() / "three.mgx", testkit::BuildRecGame({.rules = scripts[0],
                                                                      .moreScripts = {scripts[1], scripts[2]},
                                                                      .players = players}));
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
  const auto [run, out] =
      RunToStandardOutput({"extract", dir.File("three.mgx"), "--all", "--encoding=gbk"}, dir.File("stdout.per"));
  EXPECT_EQ(out, "; script 1 of 3: player 2, 齐谷德, Vikings, green, team 2\r\n" + texts[0] +
                     "; script 2 of 3: player 4, Bot, Teutons, red, no team\r\n" + texts[1] +
                     "; script 3 of 3: player 5, Last, Koreans, cyan, team 2\r\n" + texts[2]);
  const auto [unknown, alone] = RunToStandardOutput({"extract", dir.File("ai.mgx"), "--all"}, dir.File("stdout.per"));
  EXPECT_EQ(alone, "; script 1 of 1\r\n" + expected);
  for (const auto& [player, script] : {std::pair{"2", 0}, {"4", 1}, {"5", 2}}) {
    EXPECT_EQ(RunCli({"extract", dir.File("three.mgx"), "--player", player, "-o", dir.File("p.per")}).status, kExitOk);
    EXPECT_EQ(testkit::ReadText(dir.Path() / "p.per"), texts[script]) << player;
  }
  // A player who ran no script is refused, and nothing is written.
  const std::string ran = "; players 2, 4, 5 ran AI scripts\n";
  for (const auto& [game, player, problem] :
       {std::tuple{"three.mgx", "1", ": player 1 is human" + ran}, {"three.mgx", "3", ": there is no player 3" + ran},
        {"ai.mgx", "1", std::string(": its players are not known; choose a script with --script\n")}}) {
    const CliRun refused = RunCli({"extract", dir.File(game), "--player", player, "-o", dir.File("four.per")});
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_EQ(refused.err, "velkorin: " + dir.File(game) + problem);
  }

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
    testing::Values(
        UsageCase{"Nothing", {}, "no command given"},
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
        UsageCase{"PlayerAndScript", {"extract", "a.mgx", "--player=2", "--script", "2"},
                  "--script and --player exclude each other"},
        UsageCase{"PlayerAndAll", {"extract", "a.mgx", "--all", "--player=2"}, "--player and --all exclude each other"},
        UsageCase{"PlayerNine", {"extract", "a.mgx", "--player", "9"},
                  "option --player takes a whole number from 1 to 8"},
        UsageCase{"ScriptZero", {"extract", "a.mgx", "--script=0"}, "option --script takes a whole number from 1 to 8"},
        UsageCase{"ScriptNotANumber", {"extract", "a.mgx", "--script", "2x"},
                  "option --script takes a whole number from 1 to 8"},
        UsageCase{"NamesOfNoSet", {"extract", "a.mgx", "--names", "short"}, "option --names takes full or standard"},
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
