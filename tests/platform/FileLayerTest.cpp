#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/NewFile.h"
#include "platform/OsFile.h"
#include "platform/OutputFile.h"
#include "platform/TemporaryFile.h"
#include "platform/TextFile.h"
#include "tests/testkit/Child.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

namespace fs = std::filesystem;
using testkit::ReadText;
using testkit::ScratchDir;

const std::vector<uint8_t> kOld(100, 'o');

// Whether the folder's file system makes files without a name (Linux: O_TMPFILE).
bool MakesUnnamedFiles(const std::string& folder) {
  const os::Handle probe = os::CreateUnnamedScratchFile(folder);
  if (probe == os::kNoHandle) return false;
  os::Close(probe);
  return true;
}

// Where the file system can, the temporary file never has a name; elsewhere whatever stands at its
// name is left as it is, and the file itself is never seen in the folder.
TEST(TemporaryFile, HasNoNameOrTakesAFreeOneBesideTheFileAndIsNeverSeen) {
  ScratchDir dir;
  const std::string game = dir.File("game.mgx");
  const bool unnamed = MakesUnnamedFiles(dir.File(""));
  testkit::WriteFile(game, kOld);
  for (const bool taken : {false, true}) {
    if (taken) testkit::WriteFile(game + ".tmp", kOld);
    const std::vector<std::string> before = dir.Entries();
    {
      platform::TemporaryFile temporary;
      ASSERT_TRUE(temporary.Create(game));
      const std::string& path = temporary.File().Path();
      if (unnamed) {
        EXPECT_EQ(path, "a temporary file in " + dir.File(""));
      } else {
        EXPECT_TRUE(path.starts_with(game + ".") && path.ends_with(".tmp")) << path;
        EXPECT_EQ(path == game + ".tmp", !taken) << path;
      }
#ifndef _WIN32
      // Without a name from the start, the file cannot outlive even a killed process.
      EXPECT_EQ(dir.Entries(), before);
#endif
    }
    EXPECT_EQ(dir.Entries(), before);
  }
  EXPECT_EQ(testkit::ReadFile(game + ".tmp"), kOld);
#ifndef _WIN32
  // Where it must take a name, a scratch file gives it up at once, also as descriptor 0.
  const int input = dup(STDIN_FILENO);
  close(STDIN_FILENO);
  const platform::NewFile named =
      platform::CreateAtFreeName([&](int) { return dir.File("named.tmp"); }, os::NewFileUse::kScratch);
  EXPECT_FALSE(fs::exists(dir.File("named.tmp")));
  os::Close(named.handle);
  dup2(input, STDIN_FILENO);
  close(input);
  EXPECT_EQ(named.handle, 0) << named.error;
#endif
  // While names are taken, a few more are tried, then none.
  int tried = 0;
  const auto nameFor = [&](int attempt) { tried = attempt + 1; return game; };
  const platform::NewFile none = platform::CreateAtFreeName(nameFor, os::NewFileUse::kOutput);
  EXPECT_TRUE(none.handle == os::kNoHandle && !none.refused && tried == 16);
}

// A file is replaced only when the new one is committed; every LF reaches it as CR LF, also in a text
// larger than one write, and other bytes pass unchanged.
TEST(OutputFile, ReplacesAFileOnlyWhenCommittedWithEveryLfAsCrLf) {
  std::string lines;
  for (int i = 0; i < 40000; ++i) lines += "\t(line " + std::to_string(i) + ")\n";
  const std::string old(kOld.begin(), kOld.end());
  // What is written, and what the file then holds: the old text when nothing is committed.
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"new\n", old},
      {std::string("a\r\n\x80\xff\0\t", 7), std::string("a\r\r\n\x80\xff\0\t", 8)},
      {lines, testkit::Crlf(lines)}};
  ScratchDir dir;
  const std::string out = dir.File("out.per");
  for (const auto& [written, expected] : texts) {
    testkit::WriteFile(out, kOld);
    {
      platform::OutputFile output;
      ASSERT_EQ(output.Create(out, {}), platform::OutputFile::OpenResult::kOk);
      platform::TextFile text(output.File());
      text.WriteString(written);
      text.Flush();
      EXPECT_EQ(testkit::ReadFile(out), kOld);
      if (expected != old) output.Commit();
    }
    EXPECT_EQ(ReadText(out), expected);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.per"});
  }
}

#ifndef _WIN32
// A file read is closed with its object, as extract-all reads thousands.
TEST(BinaryFile, ClosesWhatItOpens) {
  ScratchDir dir;
  testkit::WriteFile(dir.Path() / "g", kOld);
  const auto open = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
  const auto before = open();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(platform::BinaryFile().OpenForReading(dir.File("g")));
  EXPECT_EQ(open(), before);
}

TEST(OutputFile, ReplacesALinksTargetWithItsPermissionBits) {
  ScratchDir dir;
  const std::string target = dir.File("target.per");
  testkit::WriteFile(target, kOld);
  chmod(target.c_str(), 04750);
  fs::create_symlink(target, dir.Path() / "link.per");
  platform::OutputFile output;
  ASSERT_EQ(output.Create(dir.File("link.per"), {}), platform::OutputFile::OpenResult::kOk);
  output.Commit();
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.per"));
  EXPECT_EQ(ReadText(target), "");
  // Not the set-user bit: the new text is not the program it was given to.
  EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0750));
  // A new file is anyone's to read and write, as the umask allows.
  platform::OutputFile fresh;
  ASSERT_EQ(fresh.Create(dir.File("new.per"), {}), platform::OutputFile::OpenResult::kOk);
  fresh.Commit();
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(fs::status(dir.File("new.per")).permissions(), static_cast<fs::perms>(0666 & ~mask));

  fs::create_symlink(dir.Path() / "nowhere", dir.Path() / "dangling.per");
  EXPECT_EQ(output.Create(dir.File("dangling.per"), {}), platform::OutputFile::OpenResult::kCannotCreate);
  EXPECT_FALSE(fs::exists(dir.Path() / "nowhere"));
}

// A small file system of its own fills up while the new text is written.
TEST(OutputFile, AFullDiskKeepsTheOldFileWholeAndLeavesNothing) {
  ScratchDir dir;
  const std::string disk = dir.File("disk");
  fs::create_directory(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "mounting needs root";
  const std::string out = disk + "/out.per";
  testkit::WriteFile(out, kOld);
  {
    platform::OutputFile output;
    ASSERT_EQ(output.Create(out, {}), platform::OutputFile::OpenResult::kOk);
    EXPECT_THROW(output.File().Write(std::vector<uint8_t>(1 << 20, 'x')), platform::FileError);
  }
  EXPECT_EQ(testkit::ReadFile(out), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
  umount(disk.c_str());
}

// As an ordinary user: a folder that takes no new file still lets its writable files be written in
// place, but never under a name of the program's own making.
TEST(OutputFile, IsWrittenInPlaceInAFolderThatTakesNoNewFile) {
  ScratchDir dir;
  const std::string locked = dir.File("locked");
  fs::create_directory(locked);
  testkit::WriteFile(locked + "/out.per", kOld);
  chmod((locked + "/out.per").c_str(), 0666);
  chmod(locked.c_str(), 0555);
  const pid_t child = testkit::StartChild(
      [&] {
        platform::OutputFile own;
        if (own.Create(locked + "/out.per", {}, platform::OutputFile::Naming::kOwn) ==
            platform::OutputFile::OpenResult::kOk)
          return 4;
        platform::OutputFile output;
        if (output.Create(locked + "/out.per", {}) != platform::OutputFile::OpenResult::kOk) return 3;
        output.File().Write(std::vector<uint8_t>{'n', 'e', 'w'});
        output.Commit();
        return 0;
      },
      testkit::RunAs::kOrdinaryUser);
  EXPECT_EQ(testkit::WaitForChild(child), 0);
  EXPECT_EQ(ReadText(locked + "/out.per"), "new");
  chmod(locked.c_str(), 0755);
}
#endif

}  // namespace
