#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/ConsoleText.h"
#include "platform/Utf8.h"
#include "tests/testkit/CaseName.h"

namespace {

constexpr char32_t kBad = utf8::kReplacement;

struct DecodeCase : testkit::NamedCase {
  std::string text;
  std::u32string codePoints;  // kBad for each byte that is no part of valid UTF-8
};

class Utf8Decode : public testing::TestWithParam<DecodeCase> {};

// Every valid text comes back from its code points byte for byte.
TEST_P(Utf8Decode, GivesEachCodePointOrOneReplacementPerStrayByte) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(utf8::Decode(c.text), c.codePoints);
  EXPECT_EQ(utf8::CountCodePoints(c.text), c.codePoints.size());
  const bool valid = c.codePoints.find(kBad) == std::u32string::npos;
  EXPECT_EQ(utf8::IsValid(c.text), valid);
  std::string encoded;
  for (const char32_t codePoint : c.codePoints) utf8::Append(codePoint, &encoded);
  if (valid) {
    EXPECT_EQ(encoded, c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Decode,
    testing::Values(DecodeCase{{"Empty"}, "", U""}, DecodeCase{{"Ascii"}, "A\x7f", U"A\x7f"},
                    DecodeCase{{"TwoBytes"}, "\xc2\x80\xdf\xbf", U"\x80\x7ff"},
                    DecodeCase{{"OverlongTwo"}, "\xc0\xaf\xc1\xbf", {kBad, kBad, kBad, kBad}},
                    DecodeCase{{"ThreeBytes"}, "\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf", U"\x800\xd7ff\xe000\xffff"},
                    DecodeCase{{"OverlongThree"}, "\xe0\x9f\xbf", {kBad, kBad, kBad}},
                    DecodeCase{{"Surrogate"}, "\xed\xa0\x80", {kBad, kBad, kBad}},
                    DecodeCase{{"FourBytes"}, "\xf0\x90\x80\x80\xf1\x80\x80\x80\xf4\x8f\xbf\xbf",
                               U"\x10000\x40000\x10ffff"},
                    DecodeCase{{"OverlongFour"}, "\xf0\x8f\xbf\xbf", {kBad, kBad, kBad, kBad}},
                    DecodeCase{{"BeyondUnicode"}, "\xf4\x90\x80\x80\xf5\x80", {kBad, kBad, kBad, kBad, kBad, kBad}},
                    DecodeCase{{"StrayContinuation"}, "\x80" "a\xbf", {kBad, U'a', kBad}},
                    DecodeCase{{"CutShort"}, "\xe2\x80" "A\xf0\x9f\x8e", {kBad, kBad, U'A', kBad, kBad, kBad}}),
    testkit::CaseName());

struct Utf16Case : testkit::NamedCase {
  std::u16string units;
  std::u32string codePoints;
};

class Utf8FromUtf16 : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf8FromUtf16, PairsSurrogatesAndReplacesLoneOnes) {
  std::string expected;
  for (const char32_t codePoint : GetParam().codePoints) utf8::Append(codePoint, &expected);
  EXPECT_EQ(utf8::FromUtf16(GetParam().units), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Units, Utf8FromUtf16,
    testing::Values(Utf16Case{{"Bmp"}, u"C:\\\x30b2\x30fc\x30e0", U"C:\\\x30b2\x30fc\x30e0"},
                    Utf16Case{{"FirstPair"}, {0xd800, 0xdc00}, U"\x10000"},
                    Utf16Case{{"LastPair"}, {0xdbff, 0xdfff, 0xe000}, U"\x10ffff\xe000"},
                    Utf16Case{{"HighBeforeNoLow"}, {0xd800, 0xe000}, {kBad, 0xe000}},
                    Utf16Case{{"LowAlone"}, {0xdfff, u'a'}, {kBad, U'a'}},
                    Utf16Case{{"LowBeforeLow"}, {0xdc00, 0xdc00}, {kBad, kBad}},
                    Utf16Case{{"HighAtTheEnd"}, {u'a', 0xdbff}, {U'a', kBad}}),
    testkit::CaseName());

// A name that no code page reads keeps printable ASCII and has every other byte escaped, as ls does.
TEST(EscapeNonAscii, KeepsPrintableAsciiOnly) {
  EXPECT_EQ(platform::EscapeNonAscii("a ~\x1f\x7f\x81\xff"), "a ~\\037\\177\\201\\377");
}

// The classes' bounds, each side of each.
TEST(Utf8Classes, MarkControlsAndDisguisingCharacters) {
  for (const char32_t c : {0x00, 0x1f, 0x7f, 0x80, 0x9f}) EXPECT_TRUE(utf8::IsControl(c)) << static_cast<uint32_t>(c);
  for (const char32_t c : {0x20, 0x7e, 0xa0}) EXPECT_FALSE(utf8::IsControl(c)) << static_cast<uint32_t>(c);
  for (const char32_t c : {0x061c, 0x200b, 0x200f, 0x202a, 0x202e, 0x2060, 0x2064, 0x2066, 0x2069, 0xfeff}) {
    EXPECT_TRUE(utf8::IsDisguising(c)) << static_cast<uint32_t>(c);
  }
  for (const char32_t c : {0x061b, 0x061d, 0x200a, 0x2010, 0x2029, 0x202f, 0x205f, 0x2065, 0x206a, 0xfefe, 0xff00}) {
    EXPECT_FALSE(utf8::IsDisguising(c)) << static_cast<uint32_t>(c);
  }
}

}  // namespace
