// velkorin-cli.exe with file names that the ANSI code page cannot spell, Latin with accents and CJK:
// run as a program of its own, since only the arguments that Windows hands over in UTF-16 hold such
// names whole, and its messages on standard error.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/ConsoleText.h"
#include "platform/WideText.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

struct ProgramRun {
  DWORD status;
  std::string err;  // the bytes written to standard error
};

// Runs velkorin-cli.exe with standard error going to a file of the folder; a program that does not
// end in time is ended.
ProgramRun RunProgram(const testkit::ScratchDir& dir, const std::vector<std::string>& args) {
  std::wstring commandLine = L"\"" + std::filesystem::absolute(VELKORIN_CLI_PROGRAM).wstring() + L"\"";
  for (const std::string& arg : args) commandLine += L" \"" + platform::WideFromUtf8(arg) + L"\"";
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const std::filesystem::path errPath = dir.Path() / "stderr.txt";
  const HANDLE hErr = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{.cb = sizeof(STARTUPINFOW), .dwFlags = STARTF_USESTDHANDLES, .hStdError = hErr};
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(hErr);
  if (!started) throw std::runtime_error("cannot start velkorin-cli.exe");
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, INFINITE);
    ADD_FAILURE() << "velkorin-cli.exe did not end";
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {status, testkit::ReadText(errPath)};
}

class WideNames : public testing::Test {
 protected:
  std::string File(const std::string& name) const { return dir.File(name); }
  std::filesystem::path Path(const std::string& name) const { return testkit::Utf8Path(dir.File(name)); }

  testkit::ScratchDir dir{"Ordner-é-文件夹"};
};

// The names reach the program whole, and a redirected message names the file in UTF-8.
TEST_F(WideNames, ExtractWritesWhatItWritesOnLinuxAndNamesTheFileInUtf8) {
  const std::filesystem::path samples(VELKORIN_SAMPLES_DIR);
  testkit::WriteFile(Path("Spiel-ü-中文.mgx"), testkit::ReadFile(samples / "sample.mgx"));
  const ProgramRun run = RunProgram(dir, {"extract", File("Spiel-ü-中文.mgx"), "-o", File("Skript-ö-脚本.per")});
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(testkit::ReadFile(Path("Skript-ö-脚本.per")) == testkit::ReadFile(samples / "sample.per"));

  const std::string missing = File("Fehlt-ä-缺失.mgx");
  const ProgramRun failed = RunProgram(dir, {"extract", missing});
  EXPECT_EQ(failed.status, 1u);
  EXPECT_EQ(failed.err, testkit::Crlf("velkorin: " + missing + ": File Open Error\n"));
}

// What `write` shows on standard error when that is a console in the given mode: the test's own, with
// a window of its own, since the one Wine gives a program started without a terminal has no screen to
// read back.
std::string ShownOnConsole(DWORD mode, const std::function<void()>& write) {
  FreeConsole();
  AllocConsole();
  const HANDLE hScreen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
  SetConsoleMode(hScreen, mode);
  const HANDLE hSaved = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE, hScreen);
  write();
  SetStdHandle(STD_ERROR_HANDLE, hSaved);
  std::wstring shown(2000, L'\0');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(hScreen, shown.data(), static_cast<DWORD>(shown.size()), COORD{0, 0}, &read);
  CloseHandle(hScreen);
  FreeConsole();
  return platform::Utf8FromWide(shown.substr(0, read));
}

// A console reads bytes in its own code page; it is given the text itself.
TEST_F(WideNames, AConsoleShowsTheNameAsItIs) {
  const std::string message = "velkorin: " + File("Spiel-ü-中文.mgx") + ": File Open Error";
  const std::string shown = ShownOnConsole(ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT, [&] {
    platform::ConsoleTextStream(platform::ConsoleStream::kError) << message << "\n";
  });
  EXPECT_TRUE(shown.starts_with(message + "  ")) << shown;
}

// On a console extract-all shows how far it got on a line of standard error that it rewrites. The
// console shows each carriage return instead of obeying it, so that every line stays on it.
TEST_F(WideNames, ExtractAllShowsItsProgressOnAConsole) {
  testkit::WriteFile(Path("ai.mgx"), testkit::ReadFile(std::filesystem::path(VELKORIN_SAMPLES_DIR) / "sample.mgx"));
  testkit::WriteFile(Path("noai.mgx"), testkit::BuildRecGame({.aiFlag = 0}));
  std::ostringstream out;
  const std::string shown = ShownOnConsole(ENABLE_WRAP_AT_EOL_OUTPUT, [&] {
    cli::RunVelkorin({"extract-all", File("."), "-d", File("out"), "-j", "1"}, out,
                     platform::ConsoleTextStream(platform::ConsoleStream::kError));
  });
  EXPECT_NE(shown.find("2/2: 1 extracted, 1 without AI script, 0 broken, 0 failed"), std::string::npos) << shown;
}

}  // namespace
