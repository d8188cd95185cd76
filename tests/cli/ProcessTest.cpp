// Whole runs of the command line as processes of their own: at the same time, interrupted, and as an
// ordinary user in folders that are not theirs.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/InterruptCleanup.h"
#include "tests/cli/CliKit.h"
#include "tests/testkit/Child.h"

namespace {

using testkit::ScratchDir;

int RunCommand(const std::vector<std::string>& args) { return testkit::RunCli(args).status; }

std::vector<testkit::RuleSpec> Rules(int count) {
  return std::vector(static_cast<size_t>(count),
                     testkit::MakeRule({testkit::Fact(6, 3, 5)}, {testkit::Action(13, 0), testkit::Action(30)}));
}

// Runs of one recorded game at the same time never meet: each has files of its own.
TEST(Processes, ConcurrentRunsOfOneGameAllGiveTheWholeScript) {
  ScratchDir dir;
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame({.rules = Rules(400)}));
  const std::string expected = testkit::ScriptText(Rules(400));
  constexpr int kRuns = 8;
  for (int round = 0; round < 10; ++round) {
    std::vector<pid_t> children;
    for (int i = 0; i < kRuns; ++i) {
      const std::string out = dir.File("out" + std::to_string(i) + ".per");
      children.push_back(testkit::StartChild([&, out] { return RunCommand({"extract", dir.File("game.mgx"), "-o", out}); }));
    }
    for (int i = 0; i < kRuns; ++i) {
      EXPECT_EQ(testkit::WaitForChild(children[static_cast<size_t>(i)]), kExitOk);
      EXPECT_EQ(testkit::ReadText(dir.Path() / ("out" + std::to_string(i) + ".per")), expected) << "run " << i;
    }
  }
  EXPECT_EQ(dir.Entries().size(), kRuns + 1u);
}

// Whether the script's new file is in the folder.
bool IsWriting(const ScratchDir& dir) {
  return std::ranges::any_of(dir.Entries(), [](const std::string& name) { return name.starts_with(".velkorin-"); });
}

// Interrupted while it writes the script, a run removes what it had begun and ends by the signal. The
// script, half a gigabyte of quoted text, takes long enough to write that the signal comes first.
TEST(Processes, AnInterruptedRunLeavesNothingBehind) {
  ScratchDir dir;
  const testkit::RuleSpec chat = testkit::MakeRule({}, std::vector<AiElement>(15, testkit::Action(13, 0)));
  testkit::AiSectionSpec section{.strings = {std::string(1000, 's')}, .rules = std::vector(32767, chat)};
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame(section));
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = testkit::StartChild([&] {
      // As a run in the foreground of a terminal: the test may itself run where these are ignored.
      for (const int caught : {SIGINT, SIGTERM, SIGHUP}) std::signal(caught, SIG_DFL);
      InstallInterruptCleanup();
      return RunCommand({"extract", dir.File("game.mgx"), "-o", dir.File("out.per")});
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!IsWriting(dir) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(IsWriting(dir)) << "the run wrote nothing";
    kill(child, signal);
    const int status = testkit::WaitForChild(child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"game.mgx"});
  }
}

// An ordinary user reads a recorded game in a folder they cannot write to, with a name as long as
// the file system allows, and writes the script to a folder of their own.
TEST(Processes, AGameInAFolderThatIsNotTheUsersIsExtracted) {
  ScratchDir dir;
  const std::string game = dir.File(std::string(251, 'g') + ".mgx");
  testkit::WriteFile(game, testkit::BuildRecGame({.rules = Rules(3)}));
  chmod(dir.Path().c_str(), 0755);
  const std::string own = dir.File("own");
  std::filesystem::create_directory(own);
  chmod(own.c_str(), 0777);
  const pid_t child = testkit::StartChild([&] { return RunCommand({"extract", game, "-o", own + "/out.per"}); },
                                          testkit::RunAs::kOrdinaryUser);
  EXPECT_EQ(testkit::WaitForChild(child), kExitOk);
  EXPECT_EQ(testkit::ReadText(own + "/out.per"), testkit::ScriptText(Rules(3)));
  EXPECT_EQ(dir.Entries().size(), 2u);
}

// On a terminal extract-all shows how far it got on a line of standard error, rewritten in place.
TEST(Processes, ExtractAllShowsItsProgressOnATerminal) {
  ScratchDir dir;
  testkit::WriteFile(dir.File("ai.mgx"), testkit::BuildRecGame({.rules = Rules(3)}));
  testkit::WriteFile(dir.File("noai.mgx"), testkit::BuildRecGame({.aiFlag = 0}));
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(VELKORIN_CLI_PROGRAM, "velkorin", "extract-all", dir.Path().c_str(), "-d", dir.File("out").c_str(),
          "-j", "1", nullptr);
    _exit(127);
  }
  std::string shown;
  std::array<char, 4096> buffer{};
  for (ssize_t got = 0; (got = read(terminal, buffer.data(), buffer.size())) > 0;) shown.append(buffer.data(), got);
  close(terminal);
  EXPECT_EQ(testkit::WaitForChild(child), kExitOk);
  EXPECT_NE(shown.find("\r2/2: 1 extracted, 1 without AI script, 0 broken, 0 failed"), std::string::npos) << shown;
}

}  // namespace

#endif
