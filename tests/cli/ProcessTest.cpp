// Whole runs of the command line as processes of their own: at the same time, interrupted, and as an
// ordinary user in folders that are not theirs.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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
using enum cli::ExitStatus;

int RunCommand(const std::vector<std::string>& args) { return testkit::RunCli(args).status; }

std::vector<testkit::RuleSpec> Rules(int count) {
  return std::vector(static_cast<size_t>(count),
                     testkit::MakeRule({testkit::Fact(6, 3, 5)}, {testkit::Action(13, 0), testkit::Action(30)}));
}

// Runs of one recorded game at the same time never meet: each has files of its own. The first has
// its standard input closed, so that the game's file takes descriptor 0.
TEST(Processes, ConcurrentRunsOfOneGameAllGiveTheWholeScript) {
  ScratchDir dir;
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame({.rules = Rules(400)}));
  const std::string expected = testkit::ScriptText(Rules(400));
  constexpr int kRuns = 8;
  for (int round = 0; round < 10; ++round) {
    std::vector<pid_t> children;
    for (int i = 0; i < kRuns; ++i) {
      const std::string out = dir.File("out" + std::to_string(i) + ".per");
      children.push_back(testkit::StartChild([&, out, i] {
        if (i == 0) close(STDIN_FILENO);
        return RunCommand({"extract", dir.File("game.mgx"), "-o", out});
      }));
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

int EndingSignal(int status) { return WIFSIGNALED(status) ? WTERMSIG(status) : 0; }

// Writes half a gigabyte of script over an old OUT, which takes long enough that a signal comes
// first, as a run in the foreground of a terminal: every signal at its default action (but
// `ignored`), whatever the test runs under, and no core file.
pid_t StartSlowRun(const ScratchDir& dir, int ignored = 0, rlim_t fileSizeLimit = RLIM_INFINITY) {
  const testkit::RuleSpec chat = testkit::MakeRule({}, std::vector<recgame::AiElement>(15, testkit::Action(13, 0)));
  static const std::vector<uint8_t> game =
      testkit::BuildRecGame({.strings = {std::string(1000, 's')}, .rules = std::vector(32767, chat)});
  testkit::WriteFile(dir.Path() / "game.mgx", game);
  testkit::WriteFile(dir.Path() / "out.per", std::vector<uint8_t>{'o', 'l', 'd'});
  return testkit::StartChild([&dir, ignored, fileSizeLimit] {
    for (const int signal : kEndingSignals) std::signal(signal, signal == ignored ? SIG_IGN : SIG_DFL);
    const rlimit noCore{0, 0};
    const rlimit fileSize{fileSizeLimit, fileSizeLimit};
    setrlimit(RLIMIT_CORE, &noCore);
    setrlimit(RLIMIT_FSIZE, &fileSize);
    platform::InstallInterruptCleanup();
    return RunCommand({"extract", dir.File("game.mgx"), "-o", dir.File("out.per")});
  });
}

void ExpectOnlyTheGameAndTheOldOutput(const ScratchDir& dir) {
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"game.mgx", "out.per"}));
  EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), "old");
}

// Each signal that would end a run, sent while it writes the script, has it remove what it had begun
// and then end by that signal; one it was started to ignore (nohup, a background job) stays ignored.
TEST(Processes, ASignalThatEndsARunLeavesTheOldOutputAndNothingElse) {
  ScratchDir dir;
  for (const int signal : kEndingSignals) {
    const pid_t child = StartSlowRun(dir);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!IsWriting(dir) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(IsWriting(dir)) << "the run wrote nothing";
    kill(child, signal);
    EXPECT_EQ(EndingSignal(testkit::WaitForChild(child)), signal) << strsignal(signal);
    ExpectOnlyTheGameAndTheOldOutput(dir);

    const pid_t ignoring = testkit::StartChild([&] {
      std::signal(signal, SIG_IGN);
      platform::InstallInterruptCleanup();
      return std::raise(signal);
    });
    EXPECT_EQ(testkit::WaitForChild(ignoring), 0) << strsignal(signal);
  }
}

// Files armed at once, as extract-all's threads arm theirs, all go.
TEST(Processes, ASignalRemovesEveryFileArmedAtOnce) {
  ScratchDir dir;
  const pid_t child = testkit::StartChild([&] {
    platform::InstallInterruptCleanup();
    std::array<platform::InterruptCleanup, 3> armed;
    for (size_t i = 0; i < armed.size(); ++i) armed[i].Arm(dir.File(std::to_string(i)));
    for (size_t i = 0; i < armed.size(); ++i) testkit::WriteFile(dir.Path() / std::to_string(i), {});
    return std::raise(SIGTERM);
  });
  EXPECT_EQ(EndingSignal(testkit::WaitForChild(child)), SIGTERM);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

// A file-size limit (ulimit -f) ends the run by SIGXFSZ, or, where that is ignored, fails its write
// (status 5); either way the old output is kept and nothing else is left.
TEST(Processes, AFileSizeLimitLeavesTheOldOutputAndNothingElse) {
  ScratchDir dir;
  EXPECT_EQ(EndingSignal(testkit::WaitForChild(StartSlowRun(dir, 0, 64 << 20))), SIGXFSZ);
  ExpectOnlyTheGameAndTheOldOutput(dir);
  EXPECT_EQ(testkit::WaitForChild(StartSlowRun(dir, SIGXFSZ, 64 << 20)), kExitFileError << 8);
  ExpectOnlyTheGameAndTheOldOutput(dir);
}

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer maps terabytes of shadow memory and keeps freed memory aside: neither a limit of
// the address space nor a peak of resident memory means there what it means to a plain run.
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

// A field of /proc/self/statm in bytes: 0 what the process has mapped, 1 what of it is in memory.
uint64_t MemoryNow(int field) {
  std::ifstream statm("/proc/self/statm");
  uint64_t pages[2] = {};
  statm >> pages[0] >> pages[1];
  return pages[field] * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

// Games whose header inflates to the most there may be, 64 MiB, from a compressed header of 64 KiB.
void AddLargestHeaders(const ScratchDir& dir, int count) {
  static const std::vector<uint8_t> game = [] {
    testkit::AiSectionSpec section{.rules = testkit::kTwoRules};
    section.trailer.resize(recgame::kMaxHeaderLength - testkit::BuildHeader(section).size());
    return testkit::BuildRecGame(section);
  }();
  std::filesystem::create_directory(dir.Path() / "games");
  for (int i = 0; i < count; ++i) testkit::WriteFile(dir.Path() / "games" / ("g" + std::to_string(i) + ".mgx"), game);
}

// Out of memory (ulimit -v), a run ends with status 8 and leaves the old output and nothing else,
// whichever of its allocations fails; extract-all counts the game failed and goes on with the next.
TEST(Processes, RunningOutOfMemoryEndsTheGamesExtractionWithStatus8) {
  if (!kMemoryIsMeasurable) GTEST_SKIP() << "the sanitizer's memory cannot be limited";
  ScratchDir dir;
  AddLargestHeaders(dir, 1);
  testkit::WriteFile(dir.Path() / "games" / "small.mgx", testkit::BuildRecGame({.rules = testkit::kTwoRules}));
  testkit::WriteFile(dir.Path() / "out.per", std::vector<uint8_t>{'o', 'l', 'd'});
  const std::string big = dir.File("games/g0.mgx");
  const auto runLimited = [&](uint64_t more, const std::vector<std::string>& args, const std::string& out) {
    return testkit::WaitForChild(testkit::StartChild([&] {
      const rlimit memory{MemoryNow(0) + more, MemoryNow(0) + more};
      setrlimit(RLIMIT_AS, &memory);
      const testkit::CliRun run = testkit::RunCli(args);
      return run.out == out && run.err == "velkorin: " + big + ": Not enough memory\n" ? run.status : 100;
    }));
  };
  for (const uint64_t more : {uint64_t{0}, uint64_t{1} << 20, uint64_t{40} << 20}) {
    EXPECT_EQ(runLimited(more, {"extract", big, "-o", dir.File("out.per")}, ""), kExitOutOfMemory << 8) << more;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"games", "out.per"}));
    EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), "old");
  }
  EXPECT_EQ(runLimited(uint64_t{40} << 20, {"extract-all", dir.File("games"), "-d", dir.File("scripts"), "-j", "1"},
                       "2 recorded games: 1 extracted, 0 without AI script, 0 broken, 1 failed\n"),
            kExitGamesFailed << 8);
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "scripts"), std::vector<std::string>{"small.per"});
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "games"), (std::vector<std::string>{"g0.mgx", "small.mgx"}));
}

// A user who may start no more threads still gets every game extracted, on the one thread there is.
TEST(Processes, ExtractAllThatCannotStartItsThreadsRunsOnThoseItHas) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() / "games");
  for (const char* name : {"a", "b", "c"}) {
    testkit::WriteFile(dir.Path() / "games" / (name + std::string(".mgx")), testkit::BuildRecGame({.rules = Rules(2)}));
  }
  chmod(dir.Path().c_str(), 0777);
  const pid_t child = testkit::StartChild(
      [&] {
        const rlimit threads{1, 1};  // the process itself, and no thread more
        setrlimit(RLIMIT_NPROC, &threads);
        return RunCommand({"extract-all", dir.File("games"), "-d", dir.File("scripts"), "-j", "8"});
      },
      testkit::RunAs::kOrdinaryUser);
  EXPECT_EQ(testkit::WaitForChild(child), kExitOk);
  EXPECT_EQ(ScratchDir::EntriesOf(dir.Path() / "scripts"), (std::vector<std::string>{"a.per", "b.per", "c.per"}));
}

// However many games run at a time, the headers in memory stay within 256 MiB: the run's peak over
// the test's own memory, which a child starts with, leaves room only for that and the rest.
TEST(Processes, ExtractAllHoldsAtMost256MiBOfHeadersWhateverTheJobs) {
  if (!kMemoryIsMeasurable) GTEST_SKIP() << "the sanitizer's memory is no plain run's";
  ScratchDir dir;
  AddLargestHeaders(dir, 8);
  const auto beforeKiB = static_cast<long>(MemoryNow(1) / 1024);
  const pid_t child =
      testkit::StartChild([&] { return RunCommand({"extract-all", dir.File("games"), "-d", dir.File("out"), "-j", "8"}); });
  int status = 0;
  rusage usage{};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_EQ(status, kExitOk);
  constexpr long kHeadersKiB = 256 * 1024;
  constexpr long kRestKiB = 32 * 1024;  // the compressed headers, inflation's buffers, the scripts' text
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

// When standard error is a terminal, extract-all shows how far it got on a line of it, rewritten in
// place, wherever standard output goes; never when only standard output is a terminal.
TEST(Processes, ExtractAllShowsItsProgressWhereStandardErrorIsATerminal) {
  ScratchDir dir;
  testkit::WriteFile(dir.File("ai.mgx"), testkit::BuildRecGame({.rules = Rules(3)}));
  testkit::WriteFile(dir.File("noai.mgx"), testkit::BuildRecGame({.aiFlag = 0}));
  const std::string progress = "\r2/2: 1 extracted, 1 without AI script, 0 broken, 0 failed";
  for (const int toFile : {-1, 1, 2}) {  // the descriptor sent to a file instead of the terminal
    const std::string file = dir.File("stream");
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (toFile > 0) dup2(open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), toFile);
      execl(VELKORIN_CLI_PROGRAM, "velkorin", "extract-all", dir.Path().c_str(), "-d", dir.File("out").c_str(),
            "-j", "1", nullptr);
      _exit(127);
    }
    std::string shown;
    std::array<char, 4096> buffer{};
    for (ssize_t got = 0; (got = read(terminal, buffer.data(), buffer.size())) > 0;) shown.append(buffer.data(), got);
    close(terminal);
    EXPECT_EQ(testkit::WaitForChild(child), kExitOk);
    EXPECT_EQ(shown.find(progress) != std::string::npos, toFile != 2) << toFile << ": " << shown;
    if (toFile > 0) {
      EXPECT_EQ(testkit::ReadText(file).find('\r'), std::string::npos) << toFile;
    }
  }
}

}  // namespace

#endif
