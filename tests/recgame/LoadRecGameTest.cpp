#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "extraction/AiScript.h"
#include "recgame/Framing.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/Child.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using extraction::CAiScript;
using recgame::ReadResult;
using testkit::Deflate;
using testkit::Frame;
using testkit::ScratchDir;

constexpr size_t kChunk = 131072;

// Bytes that deflate hardly shrinks, so large headers stay large in the compressed stream too.
std::vector<uint8_t> NoisyBytes(size_t count) {
  std::vector<uint8_t> bytes(count);
  uint32_t state = 0x12345678;
  for (uint8_t& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

// Writes the file into the folder under the name and loads it.
ReadResult LoadFile(const ScratchDir& dir, const std::string& name, const std::vector<uint8_t>& bytes,
                    CAiScript& script) {
  testkit::WriteFile(dir.Path() / name, bytes);
  return script.LoadRecGame(dir.File(name));
}

std::vector<uint8_t> HeaderOf(const CAiScript& script) {
  return std::vector<uint8_t>(script.Header().begin(), script.Header().end());
}

const std::vector<uint8_t> kHeader = NoisyBytes(1000);

struct FramingCase : testkit::NamedCase {
  std::string fileName;
  std::vector<uint8_t> bytes;
  ReadResult expected;
};

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, GivesItsCodeAndLeavesOnlyTheRecordedGame) {
  const FramingCase& c = GetParam();
  ScratchDir dir;
  CAiScript script;
  EXPECT_EQ(LoadFile(dir, c.fileName, c.bytes, script), c.expected);
  EXPECT_EQ(HeaderOf(script), c.expected == ReadResult::kOk ? kHeader : std::vector<uint8_t>());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{c.fileName});
}

std::vector<FramingCase> FramingCases() {
  const std::vector<uint8_t> compressed = Deflate(kHeader);
  const std::vector<uint8_t> mgl = Frame(compressed, {.preamble = testkit::Preamble::kMgl});
  const std::vector<uint8_t> mgx = Frame(compressed, {.preamble = testkit::Preamble::kMgx});
  const uint32_t mgxLength = static_cast<uint32_t>(mgx.size());
  std::vector<FramingCase> cases = {
      {"Mgl", "game.mgl", mgl, ReadResult::kOk},
      {"MglMixedCase", "game.Mgl", mgl, ReadResult::kOk},
      {"Mgx", "game.mgx", mgx, ReadResult::kOk},
      {"Mgz", "game.mgz", mgx, ReadResult::kOk},
      {"NoExtension", "game", mgx, ReadResult::kOk},
      {"ShortPreambleUnderOtherName", "game.mgx", mgl, ReadResult::kBroken},
      {"LongPreambleUnderMglName", "game.mgl", mgx, ReadResult::kBroken},
      {"WithBody", "game.mgx", Frame(compressed, {.body = NoisyBytes(5000)}), ReadResult::kOk},
      {"HeaderLengthBeyondFile", "game.mgx", Frame(compressed, {.headerLength = mgxLength + 1}), ReadResult::kBroken},
      {"HeaderLengthZero", "game.mgx", Frame(compressed, {.headerLength = 0}), ReadResult::kBroken},
      {"HeaderLengthEight", "game.mgx", Frame(compressed, {.headerLength = 8}), ReadResult::kBroken},
      {"HeaderLengthMaximum", "game.mgx", Frame(compressed, {.headerLength = 0xFFFFFFFF}), ReadResult::kBroken},
      {"HeaderLengthShortOfStream", "game.mgx", Frame(compressed, {.headerLength = mgxLength - 1}),
       ReadResult::kBroken},
  };
  // Files of up to 8 bytes are too short for any header, whatever their first field says.
  cases.push_back({"NoBytes", "game.mgl", {}, ReadResult::kBroken});
  cases.push_back({"ThreeBytes", "game.mgl", {3, 0, 0}, ReadResult::kBroken});
  cases.push_back({"EightBytes", "game.mgl", {8, 0, 0, 0, 0, 0, 0, 0}, ReadResult::kBroken});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, Framing, testing::ValuesIn(FramingCases()), testkit::CaseName());

// With salvage, a header-length field of 0 takes the rest of a file of 9 bytes or more, up to the bound.
TEST(FindCompressedHeader, TakesTheRestOfTheFileOnlyWithSalvage) {
  const auto range = [](uint64_t fileLength, std::string_view name, bool salvage) {
    const std::optional<recgame::CompressedRange> r = recgame::FindCompressedHeader(0, fileLength, name, salvage);
    return r ? std::pair(r->offset, r->length) : std::pair(0u, 0u);
  };
  EXPECT_EQ(range(9, "g.mgl", true), std::pair(4u, 5u));
  EXPECT_EQ(range(8, "g.mgl", true), std::pair(0u, 0u));
  EXPECT_EQ(range(9, "g.mgl", false), std::pair(0u, 0u));
  EXPECT_EQ(range(uint64_t{1} << 40, "g.mgx", true), std::pair(8u, recgame::kMaxCompressedLength));
}

// Test data is made when a test runs, not when the suite is listed.
using MakeBytes = std::vector<uint8_t> (*)();

std::vector<uint8_t> CutShort(std::vector<uint8_t> bytes, size_t cut) {
  bytes.resize(bytes.size() - cut);
  return bytes;
}

// A compressed header that inflates to `header`, assembled in order from its chunks; or, without a
// header, one that is broken.
struct StreamCase : testkit::NamedCase {
  MakeBytes makeCompressed;
  MakeBytes makeHeader = nullptr;
};

class Stream : public testing::TestWithParam<StreamCase> {};

TEST_P(Stream, InflatesWholeOrIsCode3AndLeavesNoTemporaryFile) {
  ScratchDir dir;
  CAiScript script;
  const bool whole = GetParam().makeHeader != nullptr;
  const ReadResult result = LoadFile(dir, "game.mgx", Frame(GetParam().makeCompressed()), script);
  EXPECT_EQ(result, whole ? ReadResult::kOk : ReadResult::kBroken);
  EXPECT_TRUE(HeaderOf(script) == (whole ? GetParam().makeHeader() : std::vector<uint8_t>()));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"game.mgx"});
}

std::vector<uint8_t> ThreeChunksAndABit() { return NoisyBytes(3 * kChunk + 17); }
std::vector<uint8_t> TheLimit() { return std::vector<uint8_t>(recgame::kMaxHeaderLength, 0); }

// A compressed header larger than any that inflates within the limit is refused, even one whose
// stream ends early and leaves the rest unread: the header's stream, then unread bytes up to the size.
std::vector<uint8_t> PaddedTo(size_t size) {
  std::vector<uint8_t> bytes = Deflate(kHeader);
  bytes.resize(size, 0);
  return bytes;
}
constexpr size_t kLargestCompressed = recgame::kMaxHeaderLength + recgame::kMaxHeaderLength / 256;

INSTANTIATE_TEST_SUITE_P(
    Streams, Stream,
    testing::Values(
        StreamCase{"OneByte", [] { return Deflate(std::vector<uint8_t>{0x42}); },
                   [] { return std::vector<uint8_t>{0x42}; }},
        StreamCase{"OneChunk", [] { return Deflate(NoisyBytes(kChunk)); }, [] { return NoisyBytes(kChunk); }},
        StreamCase{"SeveralChunksAndABit", [] { return Deflate(ThreeChunksAndABit()); }, ThreeChunksAndABit},
        StreamCase{"ExactlyTheLimit", [] { return Deflate(TheLimit()); }, TheLimit},
        StreamCase{"CutByOneByte", [] { return CutShort(Deflate(kHeader), 1); }},
        StreamCase{"CutAfterSeveralChunks", [] { return CutShort(Deflate(NoisyBytes(2 * kChunk + 5)), 100); }},
        StreamCase{"Corrupt", [] { return std::vector<uint8_t>(20, 0xFF); }},  // block type 3 does not exist
        StreamCase{"InflatesToNothing", [] { return Deflate({}); }},
        StreamCase{"LargerThanTheLimit",
                   [] { return Deflate(std::vector<uint8_t>(recgame::kMaxHeaderLength + 1, 0)); }},
        StreamCase{"LargestCompressedSize", [] { return PaddedTo(kLargestCompressed); }, [] { return kHeader; }},
        StreamCase{"CompressedSizeBeyondTheLargest", [] { return PaddedTo(kLargestCompressed + 1); }}),
    testkit::CaseName());

// Whatever a user or an attacker put at the temporary file's name stays as it was: a file of the
// user's, links to other files, a FIFO that would block whoever opens it, a folder.
TEST(LoadRecGame, LeavesWhatIsAtTheTemporaryNameAlone) {
  ScratchDir dir;
  const std::vector<uint8_t> precious = NoisyBytes(3 * kChunk);
  testkit::WriteFile(dir.Path() / "precious", precious);
  std::vector<std::pair<std::string, std::function<void(const std::filesystem::path&)>>> plants = {
      {"file", [&](const auto& at) { testkit::WriteFile(at, precious); }},
      {"folder", [](const auto& at) { std::filesystem::create_directory(at); }},
      {"hard link", [&](const auto& at) { std::filesystem::create_hard_link(dir.Path() / "precious", at); }},
  };
#ifndef _WIN32
  plants.emplace_back("symbolic link", [&](const auto& at) { std::filesystem::create_symlink(dir.Path() / "precious", at); });
  plants.emplace_back("fifo", [](const auto& at) { ASSERT_EQ(mkfifo(at.c_str(), 0600), 0); });
#endif
  for (const auto& [what, plant] : plants) {
    const std::filesystem::path planted = dir.Path() / "game.mgx.tmp";
    plant(planted);
    const auto before = std::filesystem::symlink_status(planted).type();
    CAiScript script;
    EXPECT_EQ(LoadFile(dir, "game.mgx", Frame(Deflate(kHeader)), script), ReadResult::kOk) << what;
    EXPECT_EQ(HeaderOf(script), kHeader) << what;
    EXPECT_EQ(std::filesystem::symlink_status(planted).type(), before) << what;
    EXPECT_EQ(testkit::ReadFile(dir.Path() / "precious"), precious) << what;
    std::filesystem::remove(planted);
  }
}

// The recorded game's name is at the length limit and its folder takes no new file (on POSIX: the run
// is an ordinary user's in a folder of root's), and the temporary folder does not exist.
TEST(LoadRecGame, TemporaryFileThatCannotBeCreatedAnywhereIsCode1) {
  ScratchDir dir;
  const std::string name(253, 'g');
  const std::string tmpdir = dir.File("missing");
  // The temporary folder, as Windows and POSIX name it.
  testkit::ScopedEnvironment windows("TMP", tmpdir);
  testkit::ScopedEnvironment posix("TMPDIR", tmpdir);
  testkit::WriteFile(dir.Path() / name, Frame(Deflate(kHeader)));
  const auto load = [&] {
    CAiScript script;
    const bool failed =
        script.LoadRecGame(dir.File(name)) == ReadResult::kCannotOpen && script.Header().empty();
    const std::string& failure = script.LoadFailure();
    return failed && failure.find(dir.File(name) + ".tmp: ") != std::string::npos &&
           failure.find(tmpdir) != std::string::npos;
  };
#ifdef _WIN32
  EXPECT_TRUE(load());
#else
  chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(testkit::WaitForChild(testkit::StartChild([&] { return load() ? 0 : 1; }, testkit::RunAs::kOrdinaryUser)), 0);
#endif
}

}  // namespace
