#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "script/ElementFormats.h"
#include "script/NameTables.h"
#include "tests/testkit/RecGameBuilder.h"

// --names full against the standard names, on a script in which every fact and action takes, in all
// four parameters, every research id of both tables and the value after each.
namespace {

bool Named(std::span<const NamedId> table, int32_t id) {
  return std::ranges::find(table, id, &NamedId::id) != table.end();
}

TEST(FullResearchNames, AreDistinctResearchOrAgeKeywords) {
  std::set<std::string_view> names;
  for (const NamedId& entry : FullTechNames) {
    names.insert(entry.name);
    EXPECT_TRUE(entry.name.starts_with("ri-") || entry.name == script::GetAgeName(entry.id)) << entry.id;
  }
  EXPECT_EQ(FullTechNames.size(), 118u);
  EXPECT_EQ(names.size(), FullTechNames.size());
}

std::vector<AiElement> Elements() {
  std::set<int32_t> values;
  for (const std::span<const NamedId> table : {TechNames, FullTechNames}) {
    for (const NamedId& entry : table) values.insert({entry.id, entry.id + 1});
  }
  std::vector<AiElement> elements;
  for (const int32_t v : values) {
    for (size_t id = 0; id < kFactIds; ++id) elements.push_back(testkit::Fact(static_cast<int16_t>(id), v, v, v, v));
    for (size_t id = 0; id < kActionIds; ++id) elements.push_back(testkit::Action(static_cast<int16_t>(id), v, v, v, v));
  }
  return elements;
}

// The research parameters that only the full set names, in the order they are written.
std::vector<int32_t> FullOnlyResearches(const std::vector<AiElement>& elements) {
  std::vector<int32_t> ids;
  for (const AiElement& element : elements) {
    const ElementFormat& format = element.kind == ElementKind::kFact ? FactFormats[static_cast<size_t>(element.id)]
                                                                      : ActionFormats[static_cast<size_t>(element.id)];
    const std::array<int32_t, kMaxOperands> parameters = {element.p1, element.p2, element.p3, element.p4};
    for (size_t operand = 0; operand < kMaxOperands; ++operand) {
      const int32_t id = parameters[operand];
      if (format.operands[operand] == Rendering::kResearch && Named(FullTechNames, id) && !Named(TechNames, id)) {
        ids.push_back(id);
      }
    }
  }
  return ids;
}

// The text cut into words and the single blanks, line ends and parentheses between them.
std::vector<std::string> Pieces(std::string_view text) {
  constexpr std::string_view kBetween = " \t\r\n()";
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const size_t length =
        kBetween.find(text.front()) != std::string_view::npos ? 1 : std::min(text.find_first_of(kBetween), text.size());
    pieces.emplace_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return pieces;
}

std::string Extract(const testkit::ScratchDir& dir, std::vector<std::string> names, const std::string& output) {
  std::vector<std::string> args = {"extract", dir.File("game.mgx"), "-o", dir.File(output)};
  args.insert(args.end(), names.begin(), names.end());
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunVelkorin(args, out, err), kExitOk) << err.str();
  return testkit::ReadText(dir.Path() / output);
}

// Where the texts differ, the full set writes a name that only it has and the standard set that
// name's id: so the standard set names only its own researches, the full set names every research
// it has, and nothing but research parameters changes.
TEST(FullNames, ChangeOnlyResearchParametersFromIdToName) {
  const std::vector<AiElement> elements = Elements();
  testkit::AiSectionSpec section;
  for (size_t first = 0; first < elements.size(); first += kElementSlots) {
    const size_t last = std::min(first + kElementSlots, elements.size());
    section.rules.push_back(testkit::MakeRule(std::vector(elements.begin() + first, elements.begin() + last), {}));
  }
  testkit::ScratchDir dir;
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame(section));
  const std::string standard = Extract(dir, {}, "default.per");
  EXPECT_EQ(Extract(dir, {"--names", "standard"}, "standard.per"), standard);
  const std::vector<std::string> standardPieces = Pieces(standard);
  const std::vector<std::string> fullPieces = Pieces(Extract(dir, {"--names=full"}, "full.per"));

  std::map<std::string_view, int32_t> ids;
  for (const NamedId& entry : FullTechNames) ids.emplace(entry.name, entry.id);
  ASSERT_EQ(fullPieces.size(), standardPieces.size());
  std::vector<int32_t> named;
  for (size_t i = 0; i < fullPieces.size(); ++i) {
    if (fullPieces[i] == standardPieces[i]) continue;
    const auto id = ids.find(fullPieces[i]);
    ASSERT_TRUE(id != ids.end()) << standardPieces[i] << " became " << fullPieces[i];
    ASSERT_EQ(standardPieces[i], std::to_string(id->second)) << "for " << fullPieces[i];
    named.push_back(id->second);
  }
  EXPECT_EQ(named, FullOnlyResearches(elements));
}

}  // namespace
