// Whole runs of the command line as processes of their own: at the same time, interrupted, and as an
// ordinary user in folders that are not theirs.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/InterruptCleanup.h"
#include "recgame/RecGameHeader.h"
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

// The signals that end a run by default and that it cleans up for.
const std::vector<int> kEndingSignals = {SIGHUP,  SIGINT,  SIGQUIT, SIGPIPE,   SIGALRM, SIGTERM,
                                         SIGXCPU, SIGXFSZ, SIGPOLL, SIGVTALRM, SIGPROF};

// As a run in the foreground of a terminal: every signal at its default action (but `ignored`),
// whatever the test runs under, and no core file from the signals that would write one.
int RunAsInATerminal(const std::vector<std::string>& args, int ignored = 0) {
  for (const int signal : kEndingSignals) std::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  InstallInterruptCleanup();
  return RunCommand(args);
}

// A game whose script, half a gigabyte of quoted text, takes long enough to write that a signal
// comes first.
void WriteSlowGame(const ScratchDir& dir) {
  const testkit::RuleSpec chat = testkit::MakeRule({}, std::vector<AiElement>(15, testkit::Action(13, 0)));
  testkit::AiSectionSpec section{.strings = {std::string(1000, 's')}, .rules = std::vector(32767, chat)};
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame(section));
  testkit::WriteFile(dir.Path() / "out.per", std::vector<uint8_t>{'o', 'l', 'd'});
}

// The folder holds the game and the old output, and nothing else.
void ExpectOnlyTheGameAndTheOldOutput(const ScratchDir& dir) {
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"game.mgx", "out.per"}));
  EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), "old");
}

// Sent while the run writes the script, each signal that would end it has it remove what it had
// begun first, and it then ends by that signal.
TEST(Processes, ASignalThatEndsARunLeavesNothingBehind) {
  ScratchDir dir;
  WriteSlowGame(dir);
  for (const int signal : kEndingSignals) {
    const pid_t child =
        testkit::StartChild([&] { return RunAsInATerminal({"extract", dir.File("game.mgx"), "-o", dir.File("out.per")}); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!IsWriting(dir) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(IsWriting(dir)) << "the run wrote nothing";
    kill(child, signal);
    const int status = testkit::WaitForChild(child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal) << ": status " << status;
    ExpectOnlyTheGameAndTheOldOutput(dir);
  }
}

// A signal the run was started to ignore (by nohup, or as a background job) stays ignored.
TEST(Processes, ASignalIgnoredFromTheStartStaysIgnored) {
  for (const int signal : kEndingSignals) {
    const pid_t child = testkit::StartChild([&] {
      std::signal(signal, SIG_IGN);
      InstallInterruptCleanup();
      std::raise(signal);
      return 0;
    });
    EXPECT_EQ(testkit::WaitForChild(child), 0) << strsignal(signal);
  }
}

// A file-size limit (ulimit -f) ends the run by SIGXFSZ, or, where that is ignored, fails its write
// (status 5); either way the old output is kept and nothing else is left.
TEST(Processes, AFileSizeLimitLeavesTheOldOutput) {
  ScratchDir dir;
  WriteSlowGame(dir);
  for (const bool ignored : {false, true}) {
    const pid_t child = testkit::StartChild([&] {
      const rlimit fileSize{64 << 20, 64 << 20};
      setrlimit(RLIMIT_FSIZE, &fileSize);
      return RunAsInATerminal({"extract", dir.File("game.mgx"), "-o", dir.File("out.per")}, ignored ? SIGXFSZ : 0);
    });
    const int status = testkit::WaitForChild(child);
    if (ignored) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kExitFileError) << "status " << status;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    }
    ExpectOnlyTheGameAndTheOldOutput(dir);
  }
}

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer maps terabytes of shadow memory and keeps freed memory aside, so neither a limit
// of the address space nor a peak of resident memory means what it means to a plain run.
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

// What the process has mapped, and how much of it is in memory, in bytes.
struct MemoryUse {
  uint64_t mapped = 0;
  uint64_t resident = 0;
};
MemoryUse MemoryNow() {
  std::ifstream statm("/proc/self/statm");
  MemoryUse pages;
  statm >> pages.mapped >> pages.resident;
  const auto pageSize = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  return {pages.mapped * pageSize, pages.resident * pageSize};
}

// Limits the address space (ulimit -v) to what the process has mapped now and `more`.
void LimitMemory(uint64_t more) {
  const rlim_t limit = MemoryNow().mapped + more;
  const rlimit memory{limit, limit};
  setrlimit(RLIMIT_AS, &memory);
}

// A game whose header inflates to the most there may be, from a compressed header of 64 KiB.
const std::vector<uint8_t>& LargestHeaderGame() {
  static const std::vector<uint8_t> game = [] {
    testkit::AiSectionSpec section{.rules = testkit::kTwoRules};
    section.trailer.resize(kMaxHeaderLength - testkit::BuildHeader(section).size());
    return testkit::BuildRecGame(section);
  }();
  return game;
}

// Out of memory, a run ends with status 8 and leaves the old output and nothing else, whichever of
// its allocations fails; extract-all counts the game failed and goes on with the next.
TEST(Processes, RunningOutOfMemoryEndsTheGamesExtractionWithStatus8) {
  if (!kMemoryIsMeasurable) GTEST_SKIP() << "the sanitizer's memory cannot be limited";
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() / "games");
  testkit::WriteFile(dir.Path() / "games" / "big.mgx", LargestHeaderGame());
  testkit::WriteFile(dir.Path() / "games" / "small.mgx", testkit::BuildRecGame({.rules = testkit::kTwoRules}));
  testkit::WriteFile(dir.Path() / "out.per", std::vector<uint8_t>{'o', 'l', 'd'});
  const std::string big = dir.File("games/big.mgx");
  const std::string noMemory = "velkorin: " + big + ": Not enough memory\n";
  for (const uint64_t more : {uint64_t{0}, uint64_t{1} << 20, uint64_t{40} << 20}) {
    const pid_t child = testkit::StartChild([&] {
      LimitMemory(more);
      const testkit::CliRun run = testkit::RunCli({"extract", big, "-o", dir.File("out.per")});
      return run.err == noMemory ? run.status : 100;
    });
    EXPECT_EQ(testkit::WaitForChild(child), kExitOutOfMemory << 8) << (more >> 20) << " MiB more";
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"games", "out.per"}));
    EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), "old");
  }
  const pid_t child = testkit::StartChild([&] {
    LimitMemory(uint64_t{40} << 20);
    const testkit::CliRun run = testkit::RunCli({"extract-all", dir.File("games"), "-d", dir.File("scripts"), "-j", "1"});
    const bool counted = run.out == "2 recorded games: 1 extracted, 0 without AI script, 0 broken, 1 failed\n";
    return counted && run.err == noMemory ? run.status : 100;
  });
  EXPECT_EQ(testkit::WaitForChild(child), kExitGamesFailed << 8);
  EXPECT_EQ(testkit::ReadText(dir.Path() / "scripts" / "small.per"), testkit::ScriptText(testkit::kTwoRules));
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "scripts"), std::vector<std::string>{"small.per"});
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "games"), (std::vector<std::string>{"big.mgx", "small.mgx"}));
}

// A user who may start no more threads still gets every game extracted, on the one thread there is.
TEST(Processes, ExtractAllThatCannotStartItsThreadsRunsOnThoseItHas) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() / "games");
  for (const char* name : {"a.mgx", "b.mgx", "c.mgx"}) {
    testkit::WriteFile(dir.Path() / "games" / name, testkit::BuildRecGame({.rules = Rules(2)}));
  }
  chmod(dir.Path().c_str(), 0777);
  const pid_t child = testkit::StartChild(
      [&] {
        const rlimit threads{1, 1};  // the process itself: no thread more
        setrlimit(RLIMIT_NPROC, &threads);
        return RunCommand({"extract-all", dir.File("games"), "-d", dir.File("scripts"), "-j", "8"});
      },
      testkit::RunAs::kOrdinaryUser);
  EXPECT_EQ(testkit::WaitForChild(child), kExitOk);
  for (const char* name : {"a.per", "b.per", "c.per"}) {
    EXPECT_EQ(testkit::ReadText(dir.Path() / "scripts" / name), testkit::ScriptText(Rules(2))) << name;
  }
}

// Games that inflate to 64 MiB each: however many run at a time, their headers in memory stay
// within 256 MiB. The peak is that of the run's whole process, the test's own memory included.
TEST(Processes, ExtractAllHoldsAtMost256MiBOfHeadersWhateverTheJobs) {
  if (!kMemoryIsMeasurable) GTEST_SKIP() << "the sanitizer's memory is no plain run's";
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() / "games");
  for (int i = 0; i < 8; ++i) {
    testkit::WriteFile(dir.Path() / "games" / ("g" + std::to_string(i) + ".mgx"), LargestHeaderGame());
  }
  // A child starts with its parent's pages.
  const auto beforeKiB = static_cast<long>(MemoryNow().resident / 1024);
  const pid_t child =
      testkit::StartChild([&] { return RunCommand({"extract-all", dir.File("games"), "-d", dir.File("out"), "-j", "8"}); });
  int status = 0;
  rusage usage{};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_EQ(status, kExitOk);
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "out").size(), 8u);
  // Room for what is not a header: the compressed ones, inflation's buffers, the scripts' text.
  constexpr long kHeadersKiB = 256 * 1024;
  constexpr long kRestKiB = 32 * 1024;
  EXPECT_LE(usage.ru_maxrss - beforeKiB, kHeadersKiB + kRestKiB) << "KiB over the test's own";
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

}  // namespace

#endif
