// The Extract command of Velkorin.exe, driven as a user drives it, with the real message boxes and
// the real save dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "frontend/Resource.h"
#include "frontend/VelkorinApp.h"
#include "platform/WideText.h"
#include "samples/SampleScript.h"
#include "extraction/AiScript.h"
#include "tests/frontend/GameRegistry.h"
#include "tests/frontend/ProgramDriver.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using frontend_test::ProgramTest;
using frontend_test::ProgramUser;
using frontend_test::RunProgram;
using frontend_test::SaveDialog;
using testkit::kComputer;
using testkit::kHuman;

// The bundled sample, under a name that the ANSI code page cannot spell.
constexpr const char* kSample = "Spiel-ü-中文.mgx";

// A recorded game of four computer players; the third's script repeats the first's.
const testkit::RuleSpec kRule1 = testkit::MakeRule({testkit::Fact(2, 1)}, {testkit::Action(59, 2)});
const testkit::RuleSpec kRule2 = testkit::MakeRule({}, {testkit::Action(13, 0)});
const testkit::RuleSpec kRule3 = testkit::MakeRule({testkit::Fact(3)}, {testkit::Action(30)});
const testkit::AiSectionSpec kFourScripts{.rules = {kRule1, kRule2},
                                          .moreScripts = {{kRule3}, {kRule1, kRule2}, {kRule3, kRule1, kRule2}}};
// The same four scripts with the players who ran them, humans among them: names in windows-1252, the
// system's code page under Wine, one with a letter where Latin-1 has a control character, one with a
// control character of its own.
const testkit::AiSectionSpec kFourPlayed{
    .rules = kFourScripts.rules, .moreScripts = kFourScripts.moreScripts,
    .players = testkit::Players({{1, kHuman, "Ag\xE9", 2, 5, 2}, {2, kComputer, "Isabel", 14, 1, 3},
                                 {3, kComputer, "Tem\x1Bujin", 12, 3, 3}, {4, kHuman, "Host", 8, 0, 2},
                                 {5, kComputer, "C\x9Cur", 11, 2, 1}, {6, kComputer, "Mei", 6, 7, 1}})};

// A folder, named outside the ANSI code page too, holding the sample, a recorded game without AI
// script, a broken one, two of four scripts, one of them without players, and damaged ones.
class RecGames {
 public:
  RecGames() {
    m_dir.CopyIn(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.mgx", kSample);
    testkit::AiSectionSpec noAi = SampleSection();
    noAi.aiFlag = 0;
    noAi.players = testkit::Players({{1, kHuman, "Host", 8, 0, 1}});
    testkit::WriteFile(m_dir.Path() / "noai.mgx", testkit::BuildRecGame(noAi));
    testkit::WriteFile(m_dir.Path() / "broken.mgz", std::vector<uint8_t>(64, 0xEE));
    testkit::WriteFile(m_dir.Path() / "four.mgx", testkit::BuildRecGame(kFourScripts));
    testkit::WriteFile(m_dir.Path() / "played.mgx", testkit::BuildRecGame(kFourPlayed));
    testkit::WriteFile(m_dir.Path() / "gone.mgl", testkit::BuildRecGame(SampleSection(), {testkit::Preamble::kMgl}));
    testkit::WriteFile(Path("cut.mgx"), testkit::BuildRecGame({.rules = kFourScripts.rules, .ruleCount = 32767}));
    testkit::WriteFile(Path("cut2.mgx"), testkit::BuildRecGame({.rules = kFourScripts.rules,
                                                                .trailer = testkit::BuildAiBlock({kRule3}, 32767)}));
    testkit::WriteFile(Path("null\u202E.mgx"),
                       testkit::BuildRecGame({.rules = kFourScripts.rules}, {.headerLength = 0}));
    testkit::WriteFile(m_dir.Path() / "empty.mgx", testkit::BuildRecGame({.ruleCount = -1}));
  }

  const testkit::ScratchDir& Dir() const { return m_dir; }
  std::string Folder() const { return m_dir.Path().string(); }
  std::filesystem::path Path(const std::string& name) const { return m_dir.Path() / testkit::Utf8Path(name); }

 private:
  testkit::ScratchDir m_dir{"Aufnahmen-é-录像"};
};

// Opens the folder, selects the recorded game and presses Extract.
void Extract(const ProgramUser& user, const std::string& folder, const std::string& recGame) {
  user.OpenFolder(folder);
  user.Select(recGame);
  user.Click(IDC_EXTRACT);
}

// Once the command is over, the dialog shows nothing else.
void ExpectCommandOver(const ProgramUser& user) {
  user.Settle();
  EXPECT_TRUE(user.OtherWindows().empty());
  EXPECT_FALSE(user.ProgramEnded());
}

// A recorded game that the pipeline cannot take: one message, no save dialog, nothing written.
struct FailureCase : testkit::NamedCase {
  const char* recGame;
  bool removedAfterListing;
  const char* message;
  const char* line;  // under the list, which Extract fills first when the selection has not settled
};

class ExtractFailure : public ProgramTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(ExtractFailure, ShowsOneMessageAndOpensNoSaveDialog) {
  const FailureCase& c = GetParam();
  RecGames games;
  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(games.Folder());
    user.Select(c.recGame);
    if (c.removedAfterListing) std::filesystem::remove(games.Path(c.recGame));
    user.Click(IDC_EXTRACT);
    const frontend_test::MessageBoxSeen box = user.AnswerMessageBox();
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.caption, theApp.m_strAppName);
    EXPECT_EQ(box.owner, user.Dialog());
    EXPECT_EQ(user.Text(IDC_STATUS_LINE), c.line);
    EXPECT_FALSE(IsWindowVisible(user.Control(IDC_SCRIPT)));
    ExpectCommandOver(user);
  });
  for (const std::string& name : games.Dir().Entries()) {
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    EXPECT_EQ(name.find(".per"), std::string::npos) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    RecGames, ExtractFailure,
    testing::Values(FailureCase{{"NoAiScript"}, "noai.mgx", false, "No AI script in this file",
                                "VER 9.4 · 1.0c · No AI script in this file — 1 Host (Persians, no team)"},
                    FailureCase{{"Broken"}, "broken.mgz", false, "Recgame file is broken", "Recgame file is broken"},
                    FailureCase{{"RemovedAfterListing"}, "gone.mgl", true, "File Open Error", "File Open Error"}),
    testkit::CaseName());

// The save dialog opens in the recorded game's folder, and cancelling it writes nothing; a game of
// one script offers no choice and no name; a name typed without extension gets ".per", and an
// existing file is replaced only after a question, whose No opens the save dialog again.
TEST_F(ProgramTest, ExtractWritesWhatTheCommandLineWritesWhereTheUserSays) {
  RecGames games;
  testkit::WriteFile(games.Path("Skript-ö-脚本.per"), std::vector<uint8_t>(10, 'x'));
  const std::vector<std::string> before = games.Dir().Entries();
  RunProgram([&](ProgramUser& user) {
    Extract(user, games.Folder() + "\\", kSample);
    const SaveDialog first = user.WaitForSaveDialog();
    EXPECT_EQ(GetWindow(first.hWnd, GW_OWNER), user.Dialog());
    EXPECT_FALSE(IsWindowEnabled(user.Dialog()));
    // Windows may spell the folder in another case.
    EXPECT_EQ(lstrcmpiW(platform::WideFromUtf8(first.Folder()).c_str(), games.Dir().Path().c_str()), 0)
        << first.Folder();
    EXPECT_EQ(first.FileTypes(), (std::vector<std::string>{"AI Script(.per)", "All(*.*)"}));
    EXPECT_EQ(first.Name(), "*.per");
    user.PressButton(first.hWnd, IDCANCEL);
    user.WaitUntilGone(first.hWnd);
    ExpectCommandOver(user);
    EXPECT_EQ(games.Dir().Entries(), before);

    user.Select(kSample);
    const std::string rules = std::to_string(SampleSection().rules.size());
    EXPECT_EQ(user.WaitForGameLine(),
              "VER 9.4 · 1.0c · 1 script: " + rules + " rules — 1 Host (Britons, team 1), 2 Velkorin (Teutons, team 2)");
    EXPECT_FALSE(IsWindowVisible(user.Control(IDC_SCRIPT)));
    user.Click(IDC_EXTRACT);
    const SaveDialog save = user.WaitForSaveDialog();
    save.Save("Skript-ö-脚本");
    EXPECT_EQ(user.AnswerMessageBox(IDNO).text,
              games.Dir().File("Skript-ö-脚本.per") + "\nalready exists.\nDo you want to replace it?");
    const SaveDialog again = user.WaitForSaveDialog();
    EXPECT_EQ(again.Name(), "Skript-ö-脚本.per");
    EXPECT_TRUE(testkit::ReadFile(games.Path("Skript-ö-脚本.per")) == std::vector<uint8_t>(10, 'x'));
    again.Save("Skript-ö-脚本");
    user.AnswerMessageBox(IDYES);
    user.WaitUntilGone(again.hWnd);
    ExpectCommandOver(user);
  });
  // What the command line writes for the bundled sample: its own suite checks that.
  EXPECT_TRUE(testkit::ReadFile(games.Path("Skript-ö-脚本.per")) ==
              testkit::ReadFile(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.per"));
}

// Chosen in the save dialog, the recorded game itself and a read-only file are refused with the reason
// before any question, the save dialog opening again; a file held open by another program fails once
// replaced. Each stays as it was, and the dialog goes on.
struct KeptOutputCase : testkit::NamedCase {
  const char* output;
  const char* shown;  // the output's name as the message shows it
  bool heldOpen;
  bool readOnly;
  const char* reason;  // after the name; a held file's ends in the system's error
};

class KeptOutput : public ProgramTest, public testing::WithParamInterface<KeptOutputCase> {};

TEST_P(KeptOutput, ShowsWhyAndKeepsTheFile) {
  const KeptOutputCase& c = GetParam();
  RecGames games;
  const std::filesystem::path file = games.Path(c.output);
  if (!std::filesystem::exists(file)) testkit::WriteFile(file, std::vector<uint8_t>(10, 'x'));
  const std::vector<uint8_t> before = testkit::ReadFile(file);
  if (c.readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::vector<std::string> entries = games.Dir().Entries();
  // Another program's hold: the file open without sharing while the program runs.
  const HANDLE hHeld =
      c.heldOpen ? CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
  ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
  RunProgram([&](ProgramUser& user) {
    Extract(user, games.Folder(), kSample);
    const SaveDialog save = user.WaitForSaveDialog();
    save.Save(c.output);
    if (c.heldOpen) user.AnswerMessageBox(IDYES);
    const std::string text = user.AnswerMessageBox().text;
    const std::string start = c.heldOpen ? "Cannot replace " : "File Write Error\n\n";
    EXPECT_TRUE(text.starts_with(start + games.Folder() + "\\" + c.shown + c.reason)) << text;
    if (!c.heldOpen) user.PressButton(user.WaitForSaveDialog().hWnd, IDCANCEL);
    ExpectCommandOver(user);
  });
  if (hHeld != nullptr) CloseHandle(hHeld);
  if (c.readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(testkit::ReadFile(file) == before);
  EXPECT_EQ(games.Dir().Entries(), entries);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, KeptOutput,
    testing::Values(
        KeptOutputCase{{"TheRecordedGame"}, kSample, kSample, false, false, ": it is the recorded game itself"},
        KeptOutputCase{{"ReadOnly"}, "kept\u202Erep.per", "kept\\u202erep.per", false, true, ": it is read-only"},
        KeptOutputCase{{"HeldByAnotherProgram"}, "busy.per", "busy.per", true, false, ": "}),
    testkit::CaseName());

// An entry means the file it showed: listed from a relative folder, it is the same game however the
// current folder changes afterwards, and the save dialog leaves the current folder as it was. Enter
// in the list and a double-click on the entry do what the Extract button does.
TEST_F(ProgramTest, AnEntryOfARelativeFolderStaysTheGameItShowed) {
  RecGames games;
  const std::filesystem::path parent = games.Dir().Path().parent_path();
  std::filesystem::current_path(parent);
  const auto extract = [&](const ProgramUser& user, const std::string& output, UINT how) {
    user.Select(kSample);
    if (how == VK_RETURN) {
      user.MoveFocusTo(IDC_RECGAME_LIST);
      user.Press(VK_RETURN);
    } else {
      how == VK_LBUTTON ? user.DoubleClick(kSample) : user.Click(IDC_EXTRACT);
    }
    const SaveDialog save = user.WaitForSaveDialog();
    save.Save(games.Path(output).string());
    user.WaitUntilGone(save.hWnd);
    ExpectCommandOver(user);
  };
  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(games.Dir().Path().filename().string());
    extract(user, "first.per", 0);
    EXPECT_EQ(std::filesystem::current_path(), parent);
    // Below it a folder of the same name holding another game of the same name, as the save
    // dialog's change of folder would have found.
    std::filesystem::current_path(games.Dir().Path());
    const std::filesystem::path inner = games.Dir().Path() / games.Dir().Path().filename();
    std::filesystem::create_directory(inner);
    std::filesystem::copy_file(games.Path("noai.mgx"), inner / testkit::Utf8Path(kSample));
    extract(user, "second.per", VK_RETURN);
    extract(user, "third.per", VK_LBUTTON);
  });
  const std::vector<uint8_t> script = testkit::ReadFile(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.per");
  for (const char* output : {"first.per", "second.per", "third.per"}) {
    EXPECT_TRUE(testkit::ReadFile(games.Path(output)) == script) << output;
  }
}

// A game of four scripts: once the selection settles, the line under the list says what it holds
// and who played, and the choice beside the list offers each script, with its player when the game
// tells, and all of them; the save dialog proposes a name for the one chosen, and each file holds
// what `velkorin extract --script N` writes.
TEST_F(ProgramTest, WritesTheScriptsChosenBesideTheList) {
  struct Choice {
    int entry;  // 4: "All scripts"
    const char* proposed;
    const char* saved;
    int answer;  // to the question whether to replace files; 0: none is asked
    std::vector<std::pair<const char*, size_t>> written;  // each file and the script (from 0) it holds
  };
  const std::vector<Choice> choices{
      {0, "four.per", "first", 0, {{"first.per", 0}}},
      {3, "four-4.per", "fourth", 0, {{"fourth.per", 3}}},
      {4, "four.per", "kept", IDNO, {}},
      {4, "four.per", "all", IDYES, {{"all-1.per", 0}, {"all-2.per", 1}, {"all-3.per", 2}, {"all-4.per", 3}}}};
  RecGames games;
  for (const char* existing : {"kept-2.per", "all-2.per"}) {
    testkit::WriteFile(games.Path(existing), std::vector<uint8_t>{'x'});
  }
  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(games.Folder());
    user.Select("played.mgx");
    EXPECT_EQ(user.WaitForGameLine(),
              "VER 9.4 · 1.0c · 4 scripts: 2, 1, 2 (same as 1), 3 rules — 1 Agé (Franks, team 1), 2 Isabel "
              "(Spanish, team 2), 3 Tem\\033ujin (Mongols, team 2), 4 Host (Persians, team 1), 5 Cœur (Vikings, "
              "no team), 6 Mei (Chinese, no team)");
    EXPECT_EQ(user.Choices(), (std::vector<std::string>{
                                  "Script 1 of 4 — player 2 Isabel (Spanish, red) — 2 rules",
                                  "Script 2 of 4 — player 3 Tem\\033ujin (Mongols, yellow) — 1 rule",
                                  "Script 3 of 4 — player 5 Cœur (Vikings, green) — 2 rules",
                                  "Script 4 of 4 — player 6 Mei (Chinese, orange) — 3 rules", "All scripts"}));
    user.Select("four.mgx");
    EXPECT_EQ(user.WaitForGameLine(), "VER 9.4 · 1.0c · 4 scripts: 2, 1, 2 (same as 1), 3 rules — players unknown");
    EXPECT_EQ(user.Choices(), (std::vector<std::string>{"Script 1 of 4 — 2 rules", "Script 2 of 4 — 1 rule",
                                                        "Script 3 of 4 — 2 rules", "Script 4 of 4 — 3 rules",
                                                        "All scripts"}));
    for (const Choice& choice : choices) {
      // The first is chosen until the user chooses another.
      if (choice.entry > 0) SendMessageW(user.Control(IDC_SCRIPT), CB_SETCURSEL, static_cast<WPARAM>(choice.entry), 0);
      user.Click(IDC_EXTRACT);
      const SaveDialog save = user.WaitForSaveDialog();
      EXPECT_EQ(save.Name(), choice.proposed);
      save.Save(choice.saved);
      if (choice.answer != 0) {
        EXPECT_EQ(user.AnswerMessageBox(choice.answer).owner, user.Dialog());
      }
      if (choice.answer == IDNO) user.PressButton(user.WaitForSaveDialog().hWnd, IDCANCEL);
      user.WaitUntilGone(save.hWnd);
      ExpectCommandOver(user);
    }
  });
  extraction::CAiScript script;
  ASSERT_EQ(script.LoadAndParse(games.Dir().File("four.mgx")), recgame::ReadResult::kOk);
  for (const Choice& choice : choices) {
    for (const auto& [file, n] : choice.written) {
      EXPECT_EQ(testkit::ReadText(games.Path(file)), testkit::WritePerText(script, n)) << file;
    }
  }
  // The name chosen for all of them is only where they go; refused, nothing is written.
  EXPECT_FALSE(std::filesystem::exists(games.Path("all.per")) || std::filesystem::exists(games.Path("kept-1.per")));
  EXPECT_EQ(testkit::ReadText(games.Path("kept-2.per")), "x");
}

// A game whose script is cut short, or whose header-length field is 0, is written as `velkorin extract
// --salvage` writes it once the user agrees to salvage it, and nothing is while the user declines;
// it says what it lacks, as a script of no rules does. Of several scripts, the one cut short can be
// chosen. The list shows a name that reverses its tail escaped, and it is still the game.
TEST_F(ProgramTest, WritesWhatSalvagingReadsOnceTheUserAgrees) {
  struct Damaged {
    const char* entry;
    std::string recGame;
    std::string content;  // on the line under the list, between the version and the players
    bool asked;           // whether salvaging is offered, in the words of `content`
    std::string said;     // once written
    size_t script = 0;    // chosen beside the list
  };
  const std::vector<Damaged> damaged{
      {"cut.mgx", "cut.mgx", "AI script 1 is cut short: it claims 32767 rules, the file holds 2 whole ones", true,
       "AI script 1 was cut short: 2 whole rules of the 32767 it claims"},
      {"null\\u202e.mgx", "null\u202E.mgx", "Recgame file is broken: its header-length field is 0", true, ""},
      {"empty.mgx", "empty.mgx", "1 script: 0 rules (the file claims -1)", false,
       "AI script 1 holds no rules (the file claims -1)"},
      {"cut2.mgx", "cut2.mgx", "AI script 2 is cut short: it claims 32767 rules, the file holds 1 whole one", true,
       "AI script 2 was cut short: 1 whole rule of the 32767 it claims", 1}};
  RecGames games;
  RunProgram([&](ProgramUser& user) {
    user.OpenFolder(games.Folder());
    for (const Damaged& game : damaged) {
      user.Select(game.entry);
      EXPECT_EQ(user.WaitForGameLine(), "VER 9.4 · 1.0c · " + game.content + " — players unknown");
      SendMessageW(user.Control(IDC_SCRIPT), CB_SETCURSEL, game.script, 0);
      user.Click(IDC_EXTRACT);
      if (game.asked) {
        EXPECT_EQ(user.AnswerMessageBox(IDNO).text, game.content + "\n\nTry to salvage what the file holds?");
        ExpectCommandOver(user);
        user.Click(IDC_EXTRACT);
        user.AnswerMessageBox(IDYES);
      }
      const SaveDialog save = user.WaitForSaveDialog();
      save.Save(games.Dir().File(game.recGame + ".per"));
      user.WaitUntilGone(save.hWnd);
      EXPECT_EQ(game.said.empty() ? "" : user.AnswerMessageBox().text, game.said);
      ExpectCommandOver(user);
    }
  });
  for (const Damaged& game : damaged) {
    extraction::CAiScript script;
    ASSERT_EQ(script.LoadAndParse(games.Dir().File(game.recGame), {.salvage = true}), recgame::ReadResult::kOk);
    EXPECT_EQ(testkit::ReadText(games.Path(game.recGame + ".per")), testkit::WritePerText(script, game.script));
  }
}

}  // namespace
