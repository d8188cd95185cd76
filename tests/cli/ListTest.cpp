#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"
#ifdef _WIN32
#include "tests/frontend/GameRegistry.h"
#endif

namespace {

namespace fs = std::filesystem;
using testkit::CliRun;
using testkit::RunCli;

const std::vector<testkit::RuleSpec> kTwoRules = {testkit::MakeRule({testkit::Fact(2, 1)}, {testkit::Action(59, 2)}),
                                                  testkit::MakeRule({}, {testkit::Action(13, 0)})};
const std::vector<testkit::RuleSpec> kOneRule = {testkit::MakeRule({testkit::Fact(3)}, {testkit::Action(30)})};

#ifdef _WIN32
constexpr const char* kFolderName = "games";
constexpr const char* kFolderInJson = "games";
#else
// A name with a quote, a backslash and a control character, which JSON must escape.
constexpr const char* kFolderName = "q\"\\\t";
constexpr const char* kFolderInJson = "q\\\"\\\\\\u0009";
#endif

// A folder as players keep them: recorded games with extensions in any case, one without AI script,
// a broken one, and files and folders that are no recorded games.
class List : public testing::Test {
 protected:
  List() {
    fs::create_directory(folder);
    const std::vector<uint8_t> game =
        testkit::BuildGame({.scripts = {kTwoRules, kOneRule, kTwoRules}, .version = "VER 9.4", .size = 1000});
    testkit::WriteFile(folder / "b.mgx", game);
    testkit::WriteFile(folder / u8"é.mgé", game);
    testkit::WriteFile(folder / "D.MGL", testkit::BuildGame({.size = 12345, .preamble = testkit::Preamble::kMgl}));
    std::vector<uint8_t> broken(1000, 0xFF);
    broken[0] = 40;  // a header length, before a compressed header that does not inflate
    std::fill_n(broken.begin() + 1, 3, 0);
    testkit::WriteFile(folder / "c.mgz", broken);
    for (const char* other : {"notes.txt", "two.mgxx", "short.mg", "noext"}) testkit::WriteFile(folder / other, game);
    fs::create_directory(folder / "folder.mgx");
#ifdef _WIN32
    testkit::WriteFile(folder / "l.mgx", game);
#else
    fs::create_symlink("b.mgx", folder / "l.mgx");
    fs::create_symlink("missing.mgx", folder / "dead.mgz");
#endif
  }

  testkit::ScratchDir dir;
  fs::path folder = dir.Path() / kFolderName;
  // Forward slashes, which Windows takes too, leave only the folder's own name to escape.
  std::string folderText = dir.Path().generic_string() + "/" + kFolderName;
};

TEST_F(List, ShowsTheRecordedGamesAsTextOrJson) {
  const CliRun text = RunCli({"list", folderText});
  EXPECT_EQ(text.status, kExitOk);
  EXPECT_EQ(text.out, folderText + R"(: 5 recorded games
b.mgx   1000  VER 9.4   3 scripts: 2, 1, 2 (same as 1) rules
c.mgz   1000            broken
D.MGL  12345  ????????  no AI script
l.mgx   1000  VER 9.4   3 scripts: 2, 1, 2 (same as 1) rules
é.mgé   1000  VER 9.4   3 scripts: 2, 1, 2 (same as 1) rules
)");

  const std::string scripts =
      R"("version": "VER 9.4", "status": "ok", "scripts": [{"rules": 2}, {"rules": 1}, {"rules": 2, "sameAs": 1}]})";
  const CliRun json = RunCli({"list", "--json", folderText});
  EXPECT_EQ(json.status, kExitOk);
  EXPECT_EQ(json.out, R"({"folder": ")" + dir.Path().generic_string() + "/" + kFolderInJson + R"(", "games": [
  {"name": "b.mgx", "size": 1000, )" + scripts + R"(,
  {"name": "c.mgz", "size": 1000, "version": null, "status": "broken", "scripts": []},
  {"name": "D.MGL", "size": 12345, "version": "????????", "status": "no-ai-script", "scripts": []},
  {"name": "l.mgx", "size": 1000, )" + scripts + R"(,
  {"name": "é.mgé", "size": 1000, )" + scripts + "\n]}\n");
}

#ifndef _WIN32
struct PrefixCase : testkit::NamedCase {
  std::string systemReg;
  bool found;
  bool throughHome = false;  // WINEPREFIX empty: the prefix is ~/.wine
};

class WinePrefix : public testing::TestWithParam<PrefixCase> {};

// The game's folder in the prefix, whose names differ in case from those of the value.
TEST_P(WinePrefix, GivesTheDefaultFolder) {
  testkit::ScratchDir dir;
  const fs::path prefix = dir.Path() / ".wine";
  fs::create_directories(prefix / "drive_c" / "games" / u8"Agé" / "savegame");
  fs::create_directory(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
  const std::string& reg = GetParam().systemReg;
  testkit::WriteFile(prefix / "system.reg", std::vector<uint8_t>(reg.begin(), reg.end()));
  const testkit::ScopedEnvironment wine("WINEPREFIX", GetParam().throughHome ? "" : prefix.string());
  const testkit::ScopedEnvironment home("HOME", dir.Path().string());

  const CliRun run = RunCli({"list"});
  if (GetParam().found) {
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, prefix.string() + "/dosdevices/c:/games/Agé/savegame: 0 recorded games\n");
  } else {
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.err.starts_with(
        "velkorin: no FOLDER given, and the game's SaveGame folder cannot be found; give FOLDER\n"))
        << run.err;
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
const std::string kValue = R"("EXE Path"="C:\\GAMES\\Ag\x00e9"
)";

INSTANTIATE_TEST_SUITE_P(
    SystemReg, WinePrefix,
    testing::Values(
        PrefixCase{"ThirtyTwoBitViewFirst", kWow64Key + kValue + "\n" + kKey + R"("EXE Path"="C:\\Other")" "\n",
                   true},
        PrefixCase{"ThirtyTwoBitPrefixInHome", "WINE REGISTRY Version 2\n\n" + kKey + kValue, true, true},
        PrefixCase{"ValueOfAnotherType", kKey + R"("EXE Path"=str(2):"C:\\GAMES\\Ag\x00e9")" + "\n", false},
        PrefixCase{"DriveWithoutLink", kKey + R"("EXE Path"="D:\\GAMES\\Ag\x00e9")" + "\n", false}),
    testkit::CaseName());
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
