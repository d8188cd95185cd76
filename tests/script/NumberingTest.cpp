#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "extraction/AiScript.h"
#include "tests/cli/CliKit.h"
#include "tests/testkit/CaseName.h"

// Games recorded under UserPatch store the ordinary facts and actions under other ids; each version
// is read in its own numbering and written with The Conquerors 1.0c's names.
namespace {

using testkit::Action;
using testkit::Fact;
using script::NumberingKind;

// A stored id and the 1.0c id it stands for; nothing for one of UserPatch's own commands.
struct IdCase {
  recgame::AiElement stored;
  std::optional<int16_t> conquerorsId;
};

struct VersionCase : testkit::NamedCase {
  std::string versionText;
  float saveVersion;
  NumberingKind kind;
  std::vector<IdCase> ids;
};

class Numbering : public testing::TestWithParam<VersionCase> {};

// The parameters make every template show them.
recgame::AiElement WithId(recgame::AiElement element, int16_t id) {
  element.id = id;
  return element;
}

std::string NotSupported(const recgame::AiElement& element) {
  char text[80];
  std::snprintf(text, sizeof text, "(%02X %d %d %d %d);not supported",
                static_cast<unsigned>(static_cast<int32_t>(element.id)), element.p1, element.p2, element.p3, element.p4);
  return text;
}

TEST_P(Numbering, NamesEachStoredIdAsItsConquerorsId) {
  const VersionCase& c = GetParam();
  const auto script = testkit::LoadSection(
      {.versionText = c.versionText, .saveVersion = c.saveVersion, .rules = {testkit::MakeRule({Fact(0)}, {})}});
  EXPECT_EQ(script->Numbering().kind, c.kind);
  for (const IdCase& id : c.ids) {
    const std::string expected = id.conquerorsId ? script::FormatElement(WithId(id.stored, *id.conquerorsId), {})
                                                 : NotSupported(id.stored);
    EXPECT_EQ(script->FormatElement(id.stored), expected)
        << "stored " << (id.stored.kind == recgame::ElementKind::kFact ? "fact " : "action ") << id.stored.id;
  }
}

recgame::AiElement F(int16_t id) { return Fact(id, 1, 2, 3, 4); }
recgame::AiElement A(int16_t id) { return Action(id, 5, 6, 7, 8); }

// Every edge of every run, on both sides; fact 110 has no template, whatever id stores it.
const std::vector<IdCase> kAsStored = {{F(0), 0},     {F(112), 112}, {F(113), {}}, {F(-1), {}},
                                       {A(0), 0},     {A(14), 14},   {A(58), 58},  {A(59), {}},
                                       {testkit::Operator(testkit::kAnd), testkit::kAnd}};

INSTANTIATE_TEST_SUITE_P(
    Versions, Numbering,
    testing::Values(
        VersionCase{{"Conquerors"}, "VER 9.4", 11.76f, NumberingKind::kConquerors, kAsStored},
        VersionCase{{"UserPatchAsVer94"},
                    "VER 9.4",
                    11.97f,
                    NumberingKind::kUserPatch,
                    {{F(0), 0}, {F(112), 112}, {F(113), {}}, {A(13), 13}, {A(14), {}}, {A(15), 14}, {A(59), 58},
                     {A(60), {}}}},
        VersionCase{{"Ver98"},
                    "VER 9.8",
                    12.0f,
                    NumberingKind::kUserPatch,
                    {{F(9), 9}, {F(10), {}}, {F(16), {}}, {F(60), {}}, {F(61), 10}, {F(163), 112}, {F(164), {}},
                     {F(161), {}}, {A(0), {}}, {A(85), {}}, {A(86), 0}, {A(144), 58}, {A(145), {}}}},
        VersionCase{{"Ver9D"},
                    "VER 9.D",
                    11.76f,
                    NumberingKind::kUserPatch,
                    {{F(9), 9}, {F(10), {}}, {F(61), {}}, {F(62), 10}, {F(164), 112}, {F(165), {}}, {F(162), {}},
                     {A(86), {}}, {A(87), 0}, {A(145), 58}, {A(146), {}}, {testkit::Operator(testkit::kNot), 0}}},
        VersionCase{{"Ver9E"}, "VER 9.E", 11.76f, NumberingKind::kUserPatch, {{F(62), 10}, {A(87), 0}, {A(0), {}}}},
        VersionCase{{"Ver9F"}, "VER 9.F", 12.5f, NumberingKind::kUserPatch, {{F(164), 112}, {A(145), 58}}},
        // Unknown versions are read as 1.0c.
        VersionCase{{"Ver94OtherSave"}, "VER 9.4", 12.0f, NumberingKind::kUnknown, kAsStored},
        VersionCase{{"Ver9C"}, "VER 9.C", 11.76f, NumberingKind::kUnknown, kAsStored},
        VersionCase{{"NoVersion"}, "", 0.0f, NumberingKind::kUnknown, kAsStored}),
    testkit::CaseName());

// The command line: an unknown version is written as 1.0c and says so once; --numbering 1.0c writes
// any game as 1.0c, as earlier versions of the program did, and says nothing.
TEST(NumberingOption, ChoosesTheNumberingAndWarnsOfUnknownVersions) {
  testkit::ScratchDir dir;
  const std::vector<testkit::RuleSpec> rules = {testkit::MakeRule({F(62), F(10)}, {A(87), A(0)})};
  for (const auto& [name, version] : {std::pair{"c.mgx", "VER 9.4"}, {"up.mgx", "VER 9.E"}, {"b.mgx", "VER 9.B"}}) {
    testkit::WriteFile(dir.Path() / name, testkit::BuildRecGame({.versionText = version, .rules = rules}));
  }
  const testkit::CliRun unknown = testkit::RunCli({"extract", dir.File("b.mgx"), "-o", dir.File("b.per")});
  EXPECT_EQ(unknown.status, 0);
  EXPECT_EQ(unknown.err, "velkorin: " + dir.File("b.mgx") +
                             ": VER 9.B: the command numbering of this version is not known; facts and actions may "
                             "be misnamed\n");
  EXPECT_EQ(testkit::ReadText(dir.File("b.per")), testkit::ScriptText(rules));

  const testkit::CliRun chosen =
      testkit::RunCli({"extract", dir.File("up.mgx"), "-o", dir.File("up.per"), "--numbering", "1.0c"});
  EXPECT_EQ(chosen.err, "");
  EXPECT_EQ(testkit::ReadText(dir.File("up.per")), testkit::ScriptText(rules));
  EXPECT_EQ(testkit::RunCli({"extract", dir.File("up.mgx"), "-o", dir.File("auto.per")}).err, "");
  EXPECT_NE(testkit::ReadText(dir.File("auto.per")), testkit::ScriptText(rules));
  EXPECT_EQ(testkit::RunCli({"extract", dir.File("b.mgx"), "-o", dir.File("b.per"), "--numbering", "1.0c"}).err, "");

  const testkit::CliRun all = testkit::RunCli({"extract-all", dir.Path().string(), "-d", dir.File("out"), "-j", "2"});
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.err, unknown.err);
  EXPECT_EQ(testkit::RunCli({"extract", dir.File("c.mgx"), "--numbering", "up"}).status, 64);
}

}  // namespace
