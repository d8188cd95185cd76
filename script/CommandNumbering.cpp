#include "script/CommandNumbering.h"

#include <array>
#include <cstring>
#include <optional>

#include "recgame/ByteReader.h"
#include "script/ElementFormats.h"

namespace script {

namespace {

using enum NumberingKind;

constexpr int16_t Last(size_t ids) { return static_cast<int16_t>(ids - 1); }

// The numberings found by setting the same computer player recorded under 1.0c beside its
// recording under each version, rule by rule: every stored id meets exactly one 1.0c id. Ids outside
// the runs are UserPatch's own commands, whose names are not known.
constexpr std::array<IdRun, 1> kEveryFact = {{{0, Last(kFactIds), 0}}};
constexpr std::array<IdRun, 1> kEveryAction = {{{0, Last(kActionIds), 0}}};
// UserPatch in a game that still calls itself "VER 9.4": one action of its own at 14.
constexpr std::array<IdRun, 2> kUserPatch1197Actions = {{{0, 13, 0}, {15, 59, 14}}};
constexpr std::array<IdRun, 2> kUserPatch98Facts = {{{0, 9, 0}, {61, 163, 10}}};
constexpr std::array<IdRun, 1> kUserPatch98Actions = {{{86, 144, 0}}};
constexpr std::array<IdRun, 2> kUserPatch9DFacts = {{{0, 9, 0}, {62, 164, 10}}};
constexpr std::array<IdRun, 1> kUserPatch9DActions = {{{87, 145, 0}}};

// Every run lands inside its table, so a translated id always has a row.
template <size_t N>
constexpr bool RunsFit(const std::array<IdRun, N>& runs, size_t ids) {
  for (const IdRun& run : runs) {
    if (run.first < 0 || run.first > run.last || run.to < 0 ||
        static_cast<size_t>(run.to) + static_cast<size_t>(run.last - run.first) >= ids) {
      return false;
    }
  }
  return true;
}
static_assert(RunsFit(kEveryFact, kFactIds) && RunsFit(kUserPatch98Facts, kFactIds) &&
              RunsFit(kUserPatch9DFacts, kFactIds));
static_assert(RunsFit(kEveryAction, kActionIds) && RunsFit(kUserPatch1197Actions, kActionIds) &&
              RunsFit(kUserPatch98Actions, kActionIds) && RunsFit(kUserPatch9DActions, kActionIds));

constexpr CommandNumbering kUserPatch1197 = {kUserPatch, kEveryFact, kUserPatch1197Actions};
constexpr CommandNumbering kUserPatch98 = {kUserPatch, kUserPatch98Facts, kUserPatch98Actions};
constexpr CommandNumbering kUserPatch9D = {kUserPatch, kUserPatch9DFacts, kUserPatch9DActions};

// A version text is 8 bytes, its zero included.
constexpr size_t kVersionTextLength = 8;

struct VersionNumbering {
  std::string_view text;
  std::optional<float> saveVersion;  // any save version when empty
  const CommandNumbering* numbering;
};

constexpr std::array<VersionNumbering, 6> kVersionNumberings = {{
    {{"VER 9.4\0", kVersionTextLength}, 11.76f, &kConquerorsNumbering},
    {{"VER 9.4\0", kVersionTextLength}, 11.97f, &kUserPatch1197},
    {{"VER 9.8\0", kVersionTextLength}, std::nullopt, &kUserPatch98},
    {{"VER 9.D\0", kVersionTextLength}, std::nullopt, &kUserPatch9D},
    {{"VER 9.E\0", kVersionTextLength}, std::nullopt, &kUserPatch9D},
    {{"VER 9.F\0", kVersionTextLength}, std::nullopt, &kUserPatch9D},
}};

// How a listing names each kind of numbering, in its text and in JSON, by NumberingKind.
struct NumberingNames {
  std::string_view text;
  std::string_view json;
};
constexpr std::array<NumberingNames, 3> kNumberingNames = {{
    {"1.0c", "1.0c"},
    {"UserPatch", "userpatch"},
    {"unknown numbering", "unknown"},
}};
static_assert(static_cast<size_t>(kUnknown) + 1 == kNumberingNames.size());

}  // namespace

constexpr CommandNumbering kConquerorsNumbering = {kConquerors, kEveryFact, kEveryAction};
constexpr CommandNumbering kUnknownNumbering = {kUnknown, kEveryFact, kEveryAction};

const CommandNumbering& NumberingOfHeader(std::span<const uint8_t> header) {
  recgame::ByteReader reader(header);
  std::span<const uint8_t> text;
  uint32_t saveVersionBits = 0;
  if (!reader.ReadBytes(kVersionTextLength, &text) || !reader.ReadU32(&saveVersionBits)) return kUnknownNumbering;
  const std::string_view versionText(reinterpret_cast<const char*>(text.data()), text.size());
  float saveVersion = 0;
  static_assert(sizeof saveVersion == sizeof saveVersionBits);
  std::memcpy(&saveVersion, &saveVersionBits, sizeof saveVersion);
  for (const VersionNumbering& version : kVersionNumberings) {
    if (version.text == versionText && (!version.saveVersion || *version.saveVersion == saveVersion)) {
      return *version.numbering;
    }
  }
  return kUnknownNumbering;
}

std::optional<int16_t> ConquerorsId(const CommandNumbering& numbering, recgame::ElementKind kind, int16_t stored) {
  if (kind != recgame::ElementKind::kFact && kind != recgame::ElementKind::kAction) return stored;
  for (const IdRun& run : kind == recgame::ElementKind::kFact ? numbering.facts : numbering.actions) {
    if (stored >= run.first && stored <= run.last) return static_cast<int16_t>(run.to + (stored - run.first));
  }
  return std::nullopt;
}

std::string_view NumberingName(NumberingKind kind) { return kNumberingNames[static_cast<size_t>(kind)].text; }

std::string_view NumberingJsonName(NumberingKind kind) { return kNumberingNames[static_cast<size_t>(kind)].json; }

}  // namespace script
