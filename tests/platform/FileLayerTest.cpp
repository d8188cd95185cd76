#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileError.h"
#include "platform/OutputFile.h"
#include "platform/TemporaryFile.h"
#include "platform/TextFile.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/Child.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

namespace fs = std::filesystem;
using testkit::ReadText;
using testkit::ScratchDir;

const std::vector<uint8_t> kOld(100, 'o');

struct TranslationCase : testkit::NamedCase {
  std::vector<std::string> pieces;
  std::string expected;
};

class TextFileTranslation : public testing::TestWithParam<TranslationCase> {};

TEST_P(TextFileTranslation, EveryLfReachesTheFileAsCrLf) {
  ScratchDir dir;
  OutputFile output;
  ASSERT_EQ(output.Create(dir.File("out.per"), {}), OutputFile::OpenResult::kOk);
  TextFile text(output.File());
  for (const std::string& piece : GetParam().pieces) text.WriteString(piece);
  text.Flush();
  output.Commit();
  EXPECT_EQ(ReadText(dir.Path() / "out.per"), GetParam().expected);
}

std::string LongLines() {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "\t(line " + std::to_string(i) + ")\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextFileTranslation,
    testing::Values(TranslationCase{"OtherBytesPassUnchanged", {std::string("a\r\n\x80\xff\0\t", 7)},
                                    std::string("a\r\r\n\x80\xff\0\t", 8)},
                    TranslationCase{"LargerThanOneWrite", {LongLines()}, testkit::Crlf(LongLines())}),
    testkit::CaseName());

// Whatever stands at the temporary file's name is left as it is, and the file itself is never seen
// in the folder.
TEST(TemporaryFile, TakesAFreeNameBesideTheFileAndIsNeverSeen) {
  ScratchDir dir;
  const std::string game = dir.File("game.mgx");
  testkit::WriteFile(game, kOld);
  for (const bool taken : {false, true}) {
    if (taken) testkit::WriteFile(game + ".tmp", kOld);
    const std::vector<std::string> before = dir.Entries();
    {
      TemporaryFile temporary;
      ASSERT_TRUE(temporary.Create(game));
      const std::string& path = temporary.File().Path();
      if (taken) {
        EXPECT_TRUE(path.starts_with(game + ".") && path.ends_with(".tmp") && path != game + ".tmp") << path;
      } else {
        EXPECT_EQ(path, game + ".tmp");
      }
#ifndef _WIN32
      // Without a name from the start, the file cannot outlive even a killed process.
      EXPECT_EQ(dir.Entries(), before);
#endif
    }
    EXPECT_EQ(dir.Entries(), before);
  }
  EXPECT_EQ(testkit::ReadFile(game + ".tmp"), kOld);
}

TEST(OutputFile, ReplacesAFileOnlyWhenCommitted) {
  ScratchDir dir;
  const std::string out = dir.File("out.per");
  for (const bool commit : {false, true}) {
    testkit::WriteFile(out, kOld);
    {
      OutputFile output;
      ASSERT_EQ(output.Create(out, {}), OutputFile::OpenResult::kOk);
      output.File().Write(std::vector<uint8_t>{'n', 'e', 'w'});
      EXPECT_EQ(testkit::ReadFile(out), kOld);
      if (commit) output.Commit();
    }
    EXPECT_EQ(ReadText(out), commit ? "new" : std::string(kOld.begin(), kOld.end()));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.per"});
  }
}

#ifndef _WIN32
TEST(OutputFile, ReplacesALinksTargetWithItsPermissionBits) {
  ScratchDir dir;
  const std::string target = dir.File("target.per");
  testkit::WriteFile(target, kOld);
  chmod(target.c_str(), 04750);
  fs::create_symlink(target, dir.Path() / "link.per");
  OutputFile output;
  ASSERT_EQ(output.Create(dir.File("link.per"), {}), OutputFile::OpenResult::kOk);
  output.Commit();
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.per"));
  EXPECT_EQ(ReadText(target), "");
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  // Not the set-user bit: the new text is not the program it was given to.
  EXPECT_EQ(status.st_mode & 07777, 0750u);

  fs::create_symlink(dir.Path() / "nowhere", dir.Path() / "dangling.per");
  EXPECT_EQ(output.Create(dir.File("dangling.per"), {}), OutputFile::OpenResult::kCannotCreate);
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
    OutputFile output;
    ASSERT_EQ(output.Create(out, {}), OutputFile::OpenResult::kOk);
    EXPECT_THROW(output.File().Write(std::vector<uint8_t>(1 << 20, 'x')), FileError);
  }
  EXPECT_EQ(testkit::ReadFile(out), kOld);
  EXPECT_EQ(fs::directory_iterator(disk)->path().filename(), "out.per");
  EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
  umount(disk.c_str());
}

// As an ordinary user: a folder that takes no new file still lets its writable files be written in
// place.
TEST(OutputFile, IsWrittenInPlaceInAFolderThatTakesNoNewFile) {
  ScratchDir dir;
  const std::string locked = dir.File("locked");
  fs::create_directory(locked);
  testkit::WriteFile(locked + "/out.per", kOld);
  chmod((locked + "/out.per").c_str(), 0666);
  chmod(locked.c_str(), 0555);
  const pid_t child = testkit::StartChild(
      [&] {
        OutputFile output;
        if (output.Create(locked + "/out.per", {}) != OutputFile::OpenResult::kOk) return 3;
        output.File().Write(std::vector<uint8_t>{'n', 'e', 'w'});
        output.Commit();
        return 0;
      },
      testkit::RunAs::kOrdinaryUser);
  EXPECT_EQ(testkit::ExitStatusOf(child), 0);
  EXPECT_EQ(ReadText(locked + "/out.per"), "new");
  chmod(locked.c_str(), 0755);
}
#endif

}  // namespace
