#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extraction/ScriptFileNames.h"
#include "tests/testkit/CaseName.h"

namespace {

struct NamesCase : testkit::NamedCase {
  std::vector<std::string> games;  // in the folder's order
  std::vector<std::string> files;  // the first script file of each
};

class ScriptNames : public testing::TestWithParam<NamesCase> {};

// A folder that ignores case compares names by Unicode's simple case folding, as NTFS does.
TEST_P(ScriptNames, DifferWhereCaseIsIgnored) {
  std::vector<std::string> files;
  for (const std::string& base : extraction::ScriptBases(GetParam().games))
    files.push_back(extraction::ScriptFileName(base, 0));
  EXPECT_EQ(files, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ScriptNames,
    testing::Values(
        NamesCase{"Latin1Umlaut", {"Ärger.mgx", "ärger.mgz"}, {"Ärger.mgx.per", "ärger.mgz.per"}},
        NamesCase{"OtherLettersStayApart", {"Arger.mgx", "Ärger.mgx", "Ǎrger.mgx"}, {"Arger.per", "Ärger.per", "Ǎrger.per"}},
        NamesCase{"LatinExtendedPair", {"Ādam.mgx", "ādam.mgl"}, {"Ādam.mgx.per", "ādam.mgl.per"}},
        NamesCase{"GreekFinalSigmaAndTonos", {"ΛΌΓΟΣ.mgx", "λόγος.mgz"}, {"ΛΌΓΟΣ.mgx.per", "λόγος.mgz.per"}},
        NamesCase{"Cyrillic", {"ЖУК.mgx", "жук.mgl"}, {"ЖУК.mgx.per", "жук.mgl.per"}},
        NamesCase{"MicroSignAndCapitalMu", {"µ.mgx", "Μ.mgz"}, {"µ.mgx.per", "Μ.mgz.per"}},
        NamesCase{"CapitalSharpS", {"STRAẞE.mgx", "straße.mgz", "STRASSE.mgl"},
                  {"STRAẞE.mgx.per", "straße.mgz.per", "STRASSE.per"}},
        NamesCase{"WholeNamesMeetAgain", {"A.MGX", "a.MGX", "a.mgx"}, {"A.MGX.per", "a.MGX~2.per", "a.mgx~3.per"}},
        NamesCase{"ASecondScriptsName", {"g.mgx", "G-2.mgz"}, {"g.mgx.per", "G-2.mgz.per"}},
        NamesCase{"LevelNameTakenByAnotherGame", {"A.MGX", "a.mgx", "a.mgx~2.mgl"},
                  {"A.MGX.per", "a.mgx~2.per", "a.mgx~2.mgl.per"}},
        NamesCase{"OnlyAnExtensionMeetsAName", {".mgx", "MGX.mgz"}, {"mgx.per", "MGX.mgz.per"}},
        NamesCase{"NotUtf8StaysApart", {"\xC4rger.mgx", "\xE4rger.mgz"}, {"\xC4rger.per", "\xE4rger.per"}}),
    testkit::CaseName());

}  // namespace
