#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"
#ifdef _WIN32
#include "tests/frontend/GameRegistry.h"
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/WinePrefix.h"
#include "tests/testkit/Child.h"
#endif

namespace {

namespace fs = std::filesystem;
using testkit::CliRun;
using testkit::RunCli;
using enum cli::ExitStatus;

#ifdef _WIN32
constexpr const char* kFolderName = "games";
constexpr const char* kFolderShown = "games";
constexpr const char* kFolderInJson = "games";
#else
// A name with a quote, a backslash and a control character, which JSON must escape, and the text
// shows escaped.
constexpr const char* kFolderName = "q\"\\\t";
constexpr const char* kFolderShown = "q\"\\\\t";
constexpr const char* kFolderInJson = "q\\\"\\\\\\t";
#endif

// A folder as players keep them: recorded games with extensions in any case and of several versions,
// one without AI script, a broken one, and files and folders that are no recorded games.
TEST(List, ShowsTheRecordedGamesAsTextOrJson) {
  testkit::ScratchDir dir;
  const fs::path folder = dir.Path() / kFolderName;
  fs::create_directory(folder);
  const auto gameOfVersion = [](const std::string& version) {
    std::vector<uint8_t> game = testkit::BuildRecGame(
        {.versionText = version, .rules = testkit::kTwoRules, .moreScripts = {testkit::kOneRule, testkit::kTwoRules}});
    game.resize(1000);
    return game;
  };
  const std::vector<uint8_t> game = gameOfVersion("VER 9.4");
  testkit::WriteFile(folder / "b.mgx", game);
  testkit::WriteFile(folder / u8"é.mgé", gameOfVersion("VER 9.E"));
  std::vector<uint8_t> noAi =
      testkit::BuildRecGame({.versionText = "VER\x01" "9.B\x7F", .aiFlag = 0}, {.preamble = testkit::Preamble::kMgl});
  noAi.resize(12345);
  testkit::WriteFile(folder / "D.MGL", noAi);
  testkit::WriteFile(folder / "c.mgz", std::vector<uint8_t>(1000, 0xFF));  // its header length is beyond its end
  for (const char* other : {"notes.txt", "two.mgxx", "short.mg", "noext"}) testkit::WriteFile(folder / other, game);
  fs::create_directory(folder / "folder.mgx");
#ifdef _WIN32
  testkit::WriteFile(folder / "l.mgx", game);
#else
  fs::create_symlink("b.mgx", folder / "l.mgx");
  fs::create_symlink("missing.mgx", folder / "dead.mgz");
#endif
  // Forward slashes, which Windows takes too, leave only the folder's own name to escape.
  const std::string folderText = dir.Path().generic_string() + "/" + kFolderName;

  const CliRun text = RunCli({"list", folderText});
  EXPECT_EQ(text.status, kExitOk);
  EXPECT_EQ(text.out, dir.Path().generic_string() + "/" + kFolderShown + R"(: 5 recorded games
b.mgx   1000  VER 9.4   1.0c               3 scripts: 2, 1, 2 (same as 1) rules
  players unknown
c.mgz   1000                               broken
D.MGL  12345  VER?9.B?  unknown numbering  no AI script
l.mgx   1000  VER 9.4   1.0c               3 scripts: 2, 1, 2 (same as 1) rules
  players unknown
é.mgé   1000  VER 9.E   UserPatch          3 scripts: 2, 1, 2 (same as 1) rules
  players unknown
)");

  const std::string scripts =
      R"("status":"ok","scripts":[{"rules":2,"player":null},{"rules":1,"player":null},{"rules":2,"sameAs":1,"player":null}],"players":null})";
  const std::string conquerors = R"("version":"VER 9.4","numbering":"1.0c",)" + scripts;
  const CliRun json = RunCli({"list", "--json", folderText});
  EXPECT_EQ(json.status, kExitOk);
  EXPECT_EQ(json.out, R"({"folder":")" + dir.Path().generic_string() + "/" + kFolderInJson + R"(","games":[
  {"name":"b.mgx","size":1000,)" + conquerors + R"(,
  {"name":"c.mgz","size":1000,"version":null,"numbering":null,"status":"broken","scripts":[],"players":null},
  {"name":"D.MGL","size":12345,"version":"VER?9.B?","numbering":"unknown","status":"no-ai-script","scripts":[],"players":null},
  {"name":"l.mgx","size":1000,)" + conquerors + R"(,
  {"name":"é.mgé","size":1000,"version":"VER 9.E","numbering":"userpatch",)" + scripts + "\n]}\n");
}

struct PlayersCase : testkit::NamedCase {
  std::vector<std::string> options;
  std::string name;     // of player 2, a GBK name, as read in the code page chosen
  std::string unknown;  // of player 3, the byte 81, which no GBK text holds alone
};

#ifdef _WIN32
constexpr const char* kUndefinedIn1252 = "\\302\\201";
#else
constexpr const char* kUndefinedIn1252 = "\\201";
#endif

class ListPlayers : public testing::TestWithParam<PlayersCase> {};

// Humans before, between and after the computers, names that are no plain text of every code page:
// each player in number order under the game, its columns aligned as a terminal shows them.
TEST_P(ListPlayers, ShowsEachPlayerUnderItsGame) {
  testkit::ScratchDir dir;
  const std::string game = dir.File("g.mgx");
  testkit::WriteFile(game, testkit::BuildRecGame(
                               {.rules = testkit::kTwoRules,
                                .moreScripts = {testkit::kOneRule},
                                .players = testkit::Players({{5, testkit::kHuman, "Last", 1, 7, 1},
                                                             {1, testkit::kHuman, "Ho\x1bst", 8, 0, 2},
                                                             {2, testkit::kComputer, "\xC6\xEB\xB9\xC8\xB5\xC2", 11, 2, 3},
                                                             {3, testkit::kHuman, "\x81", 4, 1, 1},
                                                             {4, testkit::kComputer, "Bot", 40, 3, 5}})}));
  std::vector<std::string> args = {"list", game};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const CliRun run = RunCli(args);
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), R"(  1  Ho\033st  human     Persians         blue    team 1
  2  )" + GetParam().name + R"(    computer  Vikings          green   team 2   script 1: 2 rules
  3  )" + GetParam().unknown + std::string(10 - GetParam().unknown.size(), ' ') + R"(human     Teutons          red     no team
  4  Bot       computer  civilization 40  yellow  team 4   script 2: 1 rule
  5  Last      human     Britons          orange  no team
)");
  args.push_back("--json");
  EXPECT_EQ(nlohmann::json::parse(RunCli(args).out)["games"][0]["players"][1]["name"], GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(CodePages, ListPlayers,
                         // windows-1252 leaves 81 undefined: Windows reads it as U+0081, glibc as no text.
                         testing::Values(PlayersCase{{"Windows1252"}, {}, "Æë¹ÈµÂ", kUndefinedIn1252},
                                         PlayersCase{{"Gbk"}, {"--encoding", "gbk"}, "齐谷德", "\\201"}),
                         testkit::CaseName());

// File operands first, as one table under the names given, then each folder; an operand that cannot
// be read is reported and the others are still listed. With several operands, JSON is an array.
TEST(List, TakesFilesAndFoldersAsOperands) {
  testkit::ScratchDir dir;
  fs::create_directory(dir.Path() / "f");
  const std::vector<uint8_t> game = testkit::BuildRecGame({.aiFlag = 0});
  for (const char* name : {"b.txt", "a.mgx", "f/g.mgx"}) testkit::WriteFile(dir.Path() / name, game);
  const std::string size = std::to_string(game.size());
  const std::vector<std::string> operands = {dir.File("b.txt"), dir.File("missing"), dir.File("f"), dir.File("a.mgx")};
  std::vector<std::string> args = {"list"};
  args.insert(args.end(), operands.begin(), operands.end());

  const CliRun text = RunCli(args);
  EXPECT_EQ(text.status, kExitFileOpenError);
  EXPECT_TRUE(text.err.starts_with("velkorin: " + operands[1] + ": cannot be listed: ")) << text.err;
  const std::string columns = "  " + size + "  VER 9.4  1.0c  no AI script\n";
  EXPECT_EQ(text.out, operands[0] + columns + operands[3] + columns + "\n" + operands[2] +
                          ": 1 recorded game\ng.mgx" + columns);

  args.push_back("--json");
  const nlohmann::json several = nlohmann::json::parse(RunCli(args).out);
  ASSERT_EQ(several.size(), 2u);
  EXPECT_EQ(several[0]["folder"], nullptr);
  EXPECT_EQ(several[0]["games"][1]["name"], operands[3]);
  EXPECT_EQ(several[1]["folder"], operands[2]);
  EXPECT_EQ(several[1]["games"][0]["name"], "g.mgx");
  const CliRun one = RunCli({"list", "--json", operands[0]});
  EXPECT_EQ(nlohmann::json::parse(one.out), nlohmann::json::parse(R"({"folder":null,"games":[)" +
                                                                  several[0]["games"][0].dump() + "]}"));
}

#ifndef _WIN32
// What stands at the prefix's system.reg: the text, or something hostile.
enum class RegFile {
  kText,
  kFifo,
  kLinkToDevZero,
  kTextAtTheBound,      // the text, then zeros up to as much as is read
  kTextBeyondTheBound,  // and one byte more
};

struct PrefixCase : testkit::NamedCase {
  std::string systemReg;
  bool found;
  bool throughHome = false;  // WINEPREFIX empty: the prefix is ~/.wine
  RegFile file = RegFile::kText;
};

// A prefix whose drive C: holds the game's folder, its names differing in case from those of the
// values below; its SaveGame folder holds one (broken) recorded game.
fs::path MakePrefix(const testkit::ScratchDir& dir) {
  const fs::path prefix = dir.Path() / ".wine";
  fs::create_directories(prefix / "drive_c" / "games" / u8"Agé" / "savegame");
  testkit::WriteFile(prefix / "drive_c" / "games" / u8"Agé" / "savegame" / "g.mgx", std::vector<uint8_t>(10, 0xFF));
  fs::create_directory(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
  // Names of the same length are not the same name.
  for (const char* other : {"gamez", "gamey", "gamex"}) fs::create_directory(prefix / "drive_c" / other);
  return prefix;
}

class WinePrefix : public testing::TestWithParam<PrefixCase> {};

TEST_P(WinePrefix, GivesTheDefaultFolder) {
  testkit::ScratchDir dir;
  const fs::path prefix = MakePrefix(dir);
  const fs::path systemReg = prefix / "system.reg";
  const std::string& reg = GetParam().systemReg;
  if (GetParam().file == RegFile::kFifo) {
    ASSERT_EQ(mkfifo(systemReg.c_str(), 0600), 0);
  } else if (GetParam().file == RegFile::kLinkToDevZero) {
    fs::create_symlink("/dev/zero", systemReg);
  } else {
    testkit::WriteFile(systemReg, std::vector<uint8_t>(reg.begin(), reg.end()));
  }
  const RegFile file = GetParam().file;
  if (file == RegFile::kTextAtTheBound || file == RegFile::kTextBeyondTheBound) {
    fs::resize_file(systemReg, wine_prefix::kMaxSystemRegSize + (file == RegFile::kTextBeyondTheBound ? 1 : 0));
  }
  const testkit::ScopedEnvironment wine("WINEPREFIX", GetParam().throughHome ? "" : prefix.string());
  const testkit::ScopedEnvironment home("HOME", dir.Path().string());

  if (GetParam().found) {
    const CliRun run = RunCli({"list"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    // The folder shown is the one whose game is listed.
    EXPECT_EQ(run.out, prefix.string() + "/dosdevices/c:/games/Agé/savegame: 1 recorded game\ng.mgx  10      broken\n");
  } else {
    // A run that would wait for ever, or read without end, is ended by the child's alarm.
    const int status = testkit::WaitForChild(testkit::StartChild([] {
      alarm(60);
      const CliRun run = RunCli({"list"});
      return run.err.starts_with("velkorin: no FOLDER given, and the game's SaveGame folder cannot be found; give "
                                 "FOLDER\n")
                 ? run.status
                 : -1;
    }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitUsage) << status;
  }
}

const std::string kWow64Key =
    R"([Software\\Wow6432Node\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0] 1700000000
#time=1da0b0c0d0e0f00
)";
const std::string kKey =
    R"([Software\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0] 1700000000
)";
// "C:\GAMES\Agé", its last character a UTF-16 code unit.
const std::string kPath = R"(C:\\GAMES\\Ag\x00e9)";
const std::string kValue = "\"EXE Path\"=\"" + kPath + "\"\n";

std::string ExePath(const std::string& text) { return kKey + "\"EXE Path\"=\"" + text + "\"\n"; }
// "C:\GAMES\Agé\" and as many ".\" as make it `length` UTF-16 code units long.
std::string PathOfLength(size_t length) {
  std::string path = kPath + R"(\\)";
  for (size_t units = 13; units < length; units += 2) path += R"(.\\)";
  return path;
}

INSTANTIATE_TEST_SUITE_P(
    SystemReg, WinePrefix,
    testing::Values(
        PrefixCase{"ThirtyTwoBitViewFirst", kWow64Key + kValue + "\n" + kKey + R"("EXE Path"="C:\\Other")" "\n",
                   true},
        PrefixCase{"ThirtyTwoBitPrefixInHome", "WINE REGISTRY Version 2\n\n" + kKey + kValue, true, true},
        PrefixCase{"ValueOfAnotherType", kKey + R"("EXE Path"=str(2):"C:\\GAMES\\Ag\x00e9")" + "\n", false},
        PrefixCase{"DriveWithoutLink", ExePath(R"(D:\\GAMES\\Ag\x00e9)"), false},
        PrefixCase{"Fifo", "", false, false, RegFile::kFifo},
        PrefixCase{"LinkToDevZero", "", false, false, RegFile::kLinkToDevZero},
        PrefixCase{"AtTheBound", kKey + kValue, true, false, RegFile::kTextAtTheBound},
        PrefixCase{"BeyondTheBound", kKey + kValue, false, false, RegFile::kTextBeyondTheBound},
        PrefixCase{"UpAtTheDriveStays", ExePath(R"(C:\\..\\..\\games\\..\\..\\GAMES\\Ag\x00e9)"), true},
        PrefixCase{"UpFromAMissingFolder", ExePath(R"(C:\\GAMES\\missing\\..\\Ag\x00e9\\.)"), true},
        PrefixCase{"ForwardSlashesToo", ExePath(R"(C:/GAMES/x/../Ag\x00e9)"), true},
        PrefixCase{"OctalZeroInside", ExePath(kPath + R"(\0)"), false},
        PrefixCase{"HexZeroInside", ExePath(kPath + R"(\x0\\)"), false},
        PrefixCase{"LongestTheDialogTakes", ExePath(PathOfLength(1023)), true},
        PrefixCase{"LongerThanTheDialogTakes", ExePath(PathOfLength(1025)), false}),
    testkit::CaseName());

// Each "." and ".." is resolved once, however many there are.
TEST(WinePrefixPath, ResolvesAnyNumberOfDotsByName) {
  testkit::ScratchDir dir;
  const std::string dosdevices = (MakePrefix(dir) / "dosdevices").string();
  std::string path = "C:\\";
  for (int i = 0; i < 100000; ++i) path += ".\\x\\..\\.\\";
  path += "games\\..\\GAMES\\Agé\\SAVEGAME\\";
  EXPECT_EQ(wine_prefix::LocalPathIn(path, dosdevices), dosdevices + "/c:/games/Agé/savegame");
  // The drive alone is a path; without its separator it is none.
  EXPECT_EQ(wine_prefix::LocalPathIn("C:\\", dosdevices), dosdevices + "/c:");
  EXPECT_EQ(wine_prefix::LocalPathIn("C:", dosdevices), std::nullopt);
}
#else
TEST(DefaultFolder, IsTheSaveGameFolderOfTheGamesRegistryValue) {
  testkit::ScratchDir dir;
  fs::create_directory(dir.Path() / "SaveGame");
  frontend_test::SetExePath(dir.Path().string());
  const CliRun found = RunCli({"list"});
  frontend_test::RemoveExePath();
  EXPECT_EQ(found.out, dir.Path().string() + "\\SaveGame\\: 0 recorded games\n");
  EXPECT_EQ(RunCli({"list"}).status, kExitUsage);
}
#endif

}  // namespace
