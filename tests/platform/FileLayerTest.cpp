#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"
#include "platform/TemporaryFile.h"
#include "platform/TextFile.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using testkit::ReadText;
using testkit::ScratchDir;

struct TranslationCase : testkit::NamedCase {
  std::vector<std::string> pieces;
  std::string expected;
};

class TextFileTranslation : public testing::TestWithParam<TranslationCase> {};

TEST_P(TextFileTranslation, EveryLfReachesTheFileAsCrLf) {
  ScratchDir dir;
  TextFile out;
  ASSERT_TRUE(out.Create(dir.File("out.per")));
  for (const std::string& piece : GetParam().pieces) out.WriteString(piece);
  out.Close();
  EXPECT_EQ(ReadText(dir.Path() / "out.per"), GetParam().expected);
}

std::string LongLines() {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "\t(line " + std::to_string(i) + ")\n";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextFileTranslation,
    testing::Values(TranslationCase{"Nothing", {}, ""}, TranslationCase{"NoLineEnd", {"(defrule"}, "(defrule"},
                    TranslationCase{"LineEnds", {"a\nb\n"}, "a\r\nb\r\n"},
                    TranslationCase{"OnlyLineEnds", {"\n", "\n\n"}, "\r\n\r\n\r\n"},
                    TranslationCase{"CarriageReturnPassesUnchanged", {"a\r\n", "\r"}, "a\r\r\n\r"},
                    TranslationCase{"HighBytesAndZeroPassUnchanged",
                                    {std::string("\x80\xff\0\t", 4)},
                                    std::string("\x80\xff\0\t", 4)},
                    TranslationCase{"LargerThanOneWrite", {LongLines()}, testkit::Crlf(LongLines())}),
    testkit::CaseName());

TEST(TextFile, CreateTruncatesAnExistingFile) {
  ScratchDir dir;
  testkit::WriteFile(dir.Path() / "out.per", std::vector<uint8_t>(1000, 'x'));
  TextFile out;
  ASSERT_TRUE(out.Create(dir.File("out.per")));
  out.WriteString("a\n");
  out.Close();
  EXPECT_EQ(ReadText(dir.Path() / "out.per"), "a\r\n");
}

TEST(TextFile, CreateReportsAPathThatCannotBeCreated) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() / "folder");
  TextFile out;
  EXPECT_FALSE(out.Create(dir.File("folder")));
  EXPECT_FALSE(out.Create(dir.File("missing/out.per")));
}

#ifndef _WIN32
TEST(TextFile, AFailedWriteIsThrownWithThePathAndTheOsError) {
  TextFile out;
  ASSERT_TRUE(out.Create("/dev/full"));
  out.WriteString("(defrule\n");
  try {
    out.Close();
    FAIL() << "writing to a full device succeeded";
  } catch (const FileError& error) {
    EXPECT_EQ(error.Path(), "/dev/full");
    EXPECT_EQ(error.OsError(), "No space left on device");
    EXPECT_STREQ(error.what(), "Cannot write /dev/full: No space left on device");
  }
}
#endif

TEST(BinaryFile, OpensOnlyExistingPlainFilesForReading) {
  ScratchDir dir;
  BinaryFile file;
  EXPECT_FALSE(file.Open(dir.File("missing.mgx"), BinaryFile::Mode::kRead));
  EXPECT_FALSE(file.Open(dir.File(""), BinaryFile::Mode::kRead));
  std::filesystem::create_directory(dir.Path() / "folder.mgx");
  EXPECT_FALSE(file.Open(dir.File("folder.mgx"), BinaryFile::Mode::kRead));
  EXPECT_FALSE(file.IsOpen());
}

TEST(BinaryFile, ReadReturnsFewerBytesOnlyAtTheEnd) {
  ScratchDir dir;
  testkit::WriteFile(dir.Path() / "f", std::vector<uint8_t>{1, 2, 3, 4, 5, 6});
  BinaryFile file;
  ASSERT_TRUE(file.Open(dir.File("f"), BinaryFile::Mode::kRead));
  EXPECT_EQ(file.GetLength(), 6u);
  std::array<uint8_t, 4> buffer{};
  file.Seek(1, BinaryFile::SeekOrigin::kBegin);
  file.Seek(1, BinaryFile::SeekOrigin::kCurrent);
  EXPECT_EQ(file.Read(buffer), 4u);
  EXPECT_EQ(buffer, (std::array<uint8_t, 4>{3, 4, 5, 6}));
  EXPECT_EQ(file.Read(buffer), 0u);
}

TEST(BinaryFile, AFailedDeleteIsThrownWithThePath) {
  ScratchDir dir;
  const std::string path = dir.File("missing.tmp");
  try {
    BinaryFile::Remove(path);
    FAIL() << "deleting a missing file succeeded";
  } catch (const FileError& error) {
    EXPECT_EQ(error.Path(), path);
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    EXPECT_FALSE(error.OsError().empty());
  }
}

TEST(TemporaryFile, IsDeletedOnEveryWayOut) {
  ScratchDir dir;
  {
    TemporaryFile temporary;
    ASSERT_TRUE(temporary.Create(dir.File("a.tmp")));
    temporary.File().Write(std::vector<uint8_t>{1, 2, 3});
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.tmp"});
  }
  EXPECT_TRUE(dir.Entries().empty());

  TemporaryFile removed;
  ASSERT_TRUE(removed.Create(dir.File("b.tmp")));
  removed.Remove();
  EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
