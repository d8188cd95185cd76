#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "script/ElementFormats.h"
#include "script/ScriptText.h"
#include "tests/cli/CliKit.h"

// --names full against the standard names.
namespace {

using enum cli::ExitStatus;
bool Named(std::span<const script::NamedId> table, int32_t id) {
  return std::ranges::find(table, id, &script::NamedId::id) != table.end();
}

TEST(FullResearchNames, AreDistinctResearchOrAgeKeywords) {
  std::set<std::string_view> names;
  for (const script::NamedId& entry : script::FullTechNames) {
    names.insert(entry.name);
    EXPECT_TRUE(entry.name.starts_with("ri-") || entry.name == script::GetAgeName(entry.id)) << entry.id;
  }
  EXPECT_EQ(script::FullTechNames.size(), 118u);
  EXPECT_EQ(names.size(), script::FullTechNames.size());
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find_first_of(" ()", at), text.size());
    words.emplace_back(text.substr(at, std::max<size_t>(end - at, 1)));
    at = std::max(end, at + 1);
  }
  return words;
}

// Every fact and action with each parameter a research id of either table, or the value after one:
// where the texts differ, the full set writes the name of the value that the standard set writes as
// a number, once for each research operand the standard set could not name; nothing else changes.
TEST(FullNames, ChangeOnlyResearchParametersFromNumberToName) {
  std::set<int32_t> values;
  for (const std::span<const script::NamedId> table : {script::TechNames, script::FullTechNames}) {
    for (const script::NamedId& entry : table) values.insert({entry.id, entry.id + 1});
  }
  for (const int32_t v : values) {
    const bool fullOnly = Named(script::FullTechNames, v) && !Named(script::TechNames, v);
    for (const auto& [kind, formats] :
         {std::pair{recgame::ElementKind::kFact, std::span<const script::ElementFormat>(script::FactFormats)},
          std::pair{recgame::ElementKind::kAction, std::span<const script::ElementFormat>(script::ActionFormats)}}) {
      for (const script::ElementFormat& format : formats) {
        const recgame::AiElement element{kind, format.id, v, v, v, v};
        const std::vector<std::string> standard = Words(script::FormatElement(element, {}, script::NameSet::kStandard));
        const std::vector<std::string> full = Words(script::FormatElement(element, {}, script::NameSet::kFull));
        ASSERT_EQ(full.size(), standard.size()) << format.text;
        size_t named = 0;
        for (size_t i = 0; i < full.size(); ++i) {
          if (full[i] == standard[i]) continue;
          EXPECT_EQ(standard[i], std::to_string(v)) << format.text;
          EXPECT_TRUE(std::ranges::any_of(script::FullTechNames,
                                          [&](const script::NamedId& e) { return e.id == v && e.name == full[i]; }))
              << full[i] << " for " << v;
          ++named;
        }
        EXPECT_EQ(named,
                  fullOnly ? static_cast<size_t>(std::ranges::count(format.operands, script::Rendering::kResearch)) : 0)
            << format.text << " with " << v;
      }
    }
  }
}

TEST(FullNames, AreWhatExtractWritesWhenAskedFor) {
  testkit::ScratchDir dir;
  const std::vector<testkit::RuleSpec> rules = {testkit::MakeRule({}, {testkit::Action(40, 237)})};
  testkit::WriteFile(dir.Path() / "game.mgx", testkit::BuildRecGame({.rules = rules}));
  for (const auto& [option, text] : {std::pair{"standard", "(research 237)"}, std::pair{"full", "(research ri-arbalest)"}}) {
    EXPECT_EQ(testkit::RunCli({"extract", dir.File("game.mgx"), "--names", option, "-o", dir.File("out.per")}).status,
              kExitOk);
    EXPECT_EQ(testkit::ReadText(dir.Path() / "out.per"), std::string("(defrule\r\n=>\r\n\t") + text + "\r\n)\r\n");
  }
}

}  // namespace
