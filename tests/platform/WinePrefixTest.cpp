// The game's value as a Wine prefix's system.reg holds it: escapes as Wine writes them, UTF-16 code
// units beyond ASCII, and only the game's own key and value.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/WinePrefix.h"
#include "tests/testkit/CaseName.h"

namespace {

const std::string kKey =
    R"([Software\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0] 1700000000)";

struct ValueCase : testkit::NamedCase {
  std::string lines;  // of the game's key
  std::optional<std::string> path;
  std::string key = kKey;
};

std::string Value(const std::string& data) { return "\"EXE Path\"=\"" + data + "\""; }

class ExePathIn : public testing::TestWithParam<ValueCase> {};

TEST_P(ExePathIn, DecodesWhatWineWrites) {
  const ValueCase& c = GetParam();
  EXPECT_EQ(wine_prefix::ExePathIn("WINE REGISTRY Version 2\n\n" + c.key + "\n" + c.lines + "\n"), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    SystemReg, ExePathIn,
    testing::Values(
        ValueCase{{"ThreeByteCharacters"}, Value(R"(C:\\\x30b2\x30fc\x30e0\\AoC)"), "C:\\ゲーム\\AoC"},
        ValueCase{{"SurrogatePairs"}, Value(R"(C:\\\xd800\xdc00\xdbff\xdfff\xe000)"),
                  "C:\\\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\xee\x80\x80"},
        ValueCase{{"LoneSurrogates"}, Value(R"(\xd800\xe000\xdc00)"), "\xef\xbf\xbd\xee\x80\x80\xef\xbf\xbd"},
        // \x takes up to four hex digits, without padding; an octal escape up to three digits.
        ValueCase{{"ShortHexAtTheEnd"}, Value(R"(C:\\Ag\xe9)"), "C:\\Ag\xc3\xa9"},
        ValueCase{{"HexOfFourDigitsOnly"}, Value(R"(\x00e9f)"), "\xc3\xa9" "f"},
        ValueCase{{"OctalOfThreeDigitsOnly"}, Value(R"(\0012)"), "\x01" "2"},
        ValueCase{{"OctalStopsAtEight"}, Value(R"(a\18)"), "a\x01" "8"},
        ValueCase{{"ZeroBeforeADigitIsAZero"}, Value(R"(a\08)"), std::nullopt},
        ValueCase{{"LetterEscapes"}, Value(R"(\a\b\t\n\v\f\r\e\"\\\q)"), "\a\b\t\n\v\f\r\x1b\"\\q"},
        ValueCase{{"XWithoutDigits"}, Value(R"(\xg)"), "xg"},
        // Only the game's key and its value count, in any case, not others of the same length.
        ValueCase{{"NamesInAnyCase"}, R"("exe path"="C:\\x")", "C:\\x",
                  R"([SOFTWARE\\MICROSOFT\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0] 1)"},
        ValueCase{{"AnotherValue"}, R"("EXE Patx"="C:\\x")", std::nullopt},
        ValueCase{{"AnotherKey"}, Value("C:\\\\x"), std::nullopt,
                  R"([Software\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.1] 1)"}),
    testkit::CaseName());

}  // namespace

#endif
