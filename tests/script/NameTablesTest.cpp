#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "script/AiScript.h"
#include "script/NameTables.h"
#include "tests/testkit/CaseName.h"
#include "tests/testkit/RecGameBuilder.h"

namespace {

using Lookup = std::string (CAiScript::*)(int32_t) const;

// One name table, the lookup of CAiScript that reads it, and what the table must hold.
struct TableCase : testkit::NamedCase {
  std::span<const NamedId> table;
  Lookup lookup;
  size_t ids;
  size_t distinctNames;
};

class NameTable : public testing::TestWithParam<TableCase> {};

TEST_P(NameTable, HasItsIdsAndDistinctNames) {
  std::set<std::string_view> names;
  for (const NamedId& entry : GetParam().table) names.insert(entry.name);
  EXPECT_EQ(GetParam().table.size(), GetParam().ids);
  EXPECT_EQ(names.size(), GetParam().distinctNames);
}

TEST_P(NameTable, EveryIdReadsBackAsItsName) {
  const CAiScript script;
  for (const NamedId& entry : GetParam().table) EXPECT_EQ((script.*GetParam().lookup)(entry.id), entry.name);
}

bool Named(std::span<const NamedId> table, int32_t id) {
  return std::ranges::find(table, id, &NamedId::id) != table.end();
}

// The values next to each named one, and the ends of the 32-bit range, print as plain numbers.
TEST_P(NameTable, OtherValuesReadBackAsTheirNumber) {
  const CAiScript script;
  std::set<int32_t> others = {INT32_MIN, INT32_MIN + 1, -1, 0, INT32_MAX};
  for (const NamedId& entry : GetParam().table) others.insert({entry.id - 1, entry.id + 1});
  for (const int32_t id : others) {
    if (!Named(GetParam().table, id)) {
      EXPECT_EQ((script.*GetParam().lookup)(id), std::to_string(id));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, NameTable,
    testing::Values(TableCase{"Objects", ObjectNames, &CAiScript::GetObjectName, 157, 157},
                    TableCase{"Researches", TechNames, &CAiScript::GetTechName, 11, 11},
                    TableCase{"Ages", AgeNames, &CAiScript::GetAgeName, 4, 4},
                    TableCase{"StrategicNumbers", SnNames, &CAiScript::GetSnName, 134, 133},
                    TableCase{"Players", PlayerNames, &CAiScript::GetPlayerName, 9, 9}),
    testkit::CaseName());

struct NameCase {
  Lookup lookup;
  int32_t id;
  const char* text;

  friend std::ostream& operator<<(std::ostream& out, const NameCase& c) { return out << c.id << ": " << c.text; }
};

class NameLookup : public testing::TestWithParam<NameCase> {};

TEST_P(NameLookup, IsExact) {
  const CAiScript script;
  EXPECT_EQ((script.*GetParam().lookup)(GetParam().id), GetParam().text);
}

// Values that more than one table knows, or that one table knows and another does not.
INSTANTIATE_TEST_SUITE_P(
    Contrasts, NameLookup,
    testing::Values(NameCase{&CAiScript::GetSnName, 198, "sn-percentage-explore-exterminators"},
                    NameCase{&CAiScript::GetSnName, 200, "sn-percentage-explore-exterminators"},
                    NameCase{&CAiScript::GetSnName, 199, "199"}, NameCase{&CAiScript::GetTechName, 101, "feudal-age"},
                    NameCase{&CAiScript::GetTechName, 104, "104"}, NameCase{&CAiScript::GetAgeName, 104, "dark-age"},
                    NameCase{&CAiScript::GetPlayerName, -101, "any-ally"},
                    NameCase{&CAiScript::GetPlayerName, 101, "this-any-ally"},
                    NameCase{&CAiScript::GetPlayerName, 1, "1"}));

// Entries are copied by the string actions; an index outside the table gives the empty text.
TEST(StringParam, IndexOutsideTheTableGivesTheEmptyText) {
  testkit::AiSectionSpec section;
  section.strings = {"a", "b"};
  const auto script = testkit::LoadSection(section);
  for (const int32_t index : {-1, 2, 3, INT32_MIN, INT32_MAX}) EXPECT_EQ(script->GetStringParam(index), "") << index;
  const auto empty = testkit::LoadSection({});
  for (const int32_t index : {0, -1, INT32_MIN}) EXPECT_EQ(empty->GetStringParam(index), "") << index;
}

}  // namespace
