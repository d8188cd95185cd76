#include "script/NameTables.h"

#include "script/ElementText.h"

namespace script {

namespace {

// Ids 101 to 103 research the next age and carry the age's own keyword.
constexpr NamedId kTechNames[] = {
    {8, "ri-town-watch"},
    {12, "ri-crop-rotation"},
    {13, "ri-heavy-plow"},
    {14, "ri-horse-collar"},
    {22, "ri-loom"},
    {101, "feudal-age"},
    {102, "castle-age"},
    {103, "imperial-age"},
    {213, "ri-wheel-barrow"},
    {249, "ri-hand-cart"},
    {280, "ri-town-patrol"},
};

constexpr NamedId kAgeNames[] = {
    {101, "feudal-age"},
    {102, "castle-age"},
    {103, "imperial-age"},
    {104, "dark-age"},
};

// Ids 198 and 200 share one keyword: a script may store either, and both read back by name.
constexpr NamedId kSnNames[] = {
    {0, "sn-percent-civilian-explorers"},
    {1, "sn-percent-civilian-builders"},
    {2, "sn-percent-civilian-gatherers"},
    {3, "sn-cap-civilian-explorers"},
    {4, "sn-cap-civilian-builders"},
    {5, "sn-cap-civilian-gatherers"},
    {16, "sn-minimum-attack-group-size"},
    {18, "sn-total-number-explorers"},
    {19, "sn-percent-enemy-sighted-response"},
    {20, "sn-enemy-sighted-response-distance"},
    {22, "sn-sentry-distance"},
    {23, "sn-relic-return-distance"},
    {25, "sn-minimum-defend-group-size"},
    {26, "sn-maximum-attack-group-size"},
    {28, "sn-maximum-defend-group-size"},
    {29, "sn-minimum-peace-like-level"},
    {32, "sn-percent-exploration-required"},
    {34, "sn-zero-priority-distance"},
    {35, "sn-minimum-civilian-explorers"},
    {36, "sn-number-attack-groups"},
    {38, "sn-number-defend-groups"},
    {41, "sn-attack-group-gather-spacing"},
    {42, "sn-number-explore-groups"},
    {43, "sn-minimum-explore-group-size"},
    {44, "sn-maximum-explore-group-size"},
    {50, "sn-gold-defend-priority"},
    {51, "sn-stone-defend-priority"},
    {52, "sn-forage-defend-priority"},
    {55, "sn-relic-defend-priority"},
    {56, "sn-town-defend-priority"},
    {57, "sn-defense-distance"},
    {58, "sn-number-boat-attack-groups"},
    {59, "sn-minimum-boat-attack-group-size"},
    {60, "sn-maximum-boat-attack-group-size"},
    {61, "sn-number-boat-explore-groups"},
    {62, "sn-minimum-boat-explore-group-size"},
    {63, "sn-maximum-boat-explore-group-size"},
    {67, "sn-number-boat-defend-groups"},
    {68, "sn-minimum-boat-defend-group-size"},
    {69, "sn-maximum-boat-defend-group-size"},
    {70, "sn-dock-defend-priority"},
    {72, "sn-sentry-distance-variation"},
    {73, "sn-minimum-town-size"},
    {74, "sn-maximum-town-size"},
    {75, "sn-group-commander-selection-method"},
    {76, "sn-consecutive-idle-unit-limit"},
    {77, "sn-target-evaluation-distance"},
    {78, "sn-target-evaluation-hitpoints"},
    {79, "sn-target-evaluation-damage-capability"},
    {80, "sn-target-evaluation-kills"},
    {81, "sn-target-evaluation-ally-proximity"},
    {82, "sn-target-evaluation-rof"},
    {83, "sn-target-evaluation-randomness"},
    {86, "sn-camp-max-distance"},
    {87, "sn-mill-max-distance"},
    {89, "sn-target-evaluation-attack-attempts"},
    {90, "sn-target-evaluation-range"},
    {92, "sn-defend-overlap-distance"},
    {93, "sn-scale-minimum-attack-group-size"},
    {94, "sn-scale-maximum-attack-group-size"},
    {98, "sn-attack-group-size-randomness"},
    {99, "sn-scaling-frequency"},
    {100, "sn-maximum-gaia-attack-response"},
    {101, "sn-build-frequency"},
    {102, "sn-attack-separation-time-randomness"},
    {103, "sn-attack-intelligence"},
    {104, "sn-initial-attack-delay"},
    {105, "sn-save-scenario-information"},
    {106, "sn-special-attack-type1"},
    {109, "sn-special-attack-influence1"},
    {112, "sn-minimum-water-body-size-for-dock"},
    {114, "sn-number-build-attempts-before-skip"},
    {115, "sn-max-skips-per-attempt"},
    {117, "sn-food-gatherer-percentage"},
    {118, "sn-gold-gatherer-percentage"},
    {119, "sn-stone-gatherer-percentage"},
    {120, "sn-wood-gatherer-percentage"},
    {122, "sn-target-evaluation-continent"},
    {123, "sn-target-evaluation-siege-weapon"},
    {131, "sn-group-leader-defense-distance"},
    {134, "sn-initial-attack-delay-type"},
    {135, "sn-blot-exploration-map"},
    {136, "sn-blot-size"},
    {142, "sn-intelligent-gathering"},
    {143, "sn-task-ungrouped-soldiers"},
    {144, "sn-target-evaluation-boat"},
    {145, "sn-number-enemy-objects-required"},
    {146, "sn-number-max-skip-cycles"},
    {148, "sn-retask-gather-amount"},
    {149, "sn-max-retask-gather-amount"},
    {160, "sn-max-build-plan-gatherer-percentage"},
    {163, "sn-food-dropsite-distance"},
    {164, "sn-wood-dropsite-distance"},
    {165, "sn-stone-dropsite-distance"},
    {166, "sn-gold-dropsite-distance"},
    {167, "sn-initial-exploration-required"},
    {168, "sn-random-placement-factor"},
    {169, "sn-required-forest-tiles"},
    {178, "sn-attack-diplomacy-impact"},
    {179, "sn-percent-half-exploration"},
    {184, "sn-target-evaluation-time-kill-ratio"},
    {185, "sn-target-evaluation-in-progress"},
    {188, "sn-attack-winning-player"},
    {194, "sn-coop-share-information"},
    {195, "sn-attack-winning-player-factor"},
    {196, "sn-coop-share-attacking"},
    {197, "sn-coop-share-attacking-interval"},
    {198, "sn-percentage-explore-exterminators"},
    {200, "sn-percentage-explore-exterminators"},
    {201, "sn-track-player-history"},
    {202, "sn-minimum-dropsite-buffer"},
    {203, "sn-use-by-type-max-gathering"},
    {204, "sn-minimum-boar-hunt-group-size"},
    {216, "sn-minimum-amount-for-trading"},
    {218, "sn-easiest-reaction-percentage"},
    {219, "sn-easier-reaction-percentage"},
    {221, "sn-hits-before-alliance-change"},
    {225, "sn-allow-civilian-defense"},
    {226, "sn-number-forward-builders"},
    {227, "sn-percent-attack-soldiers"},
    {228, "sn-percent-attack-boats"},
    {229, "sn-do-not-scale-for-difficulty-level"},
    {230, "sn-group-form-distance"},
    {231, "sn-ignore-attack-group-under-attack"},
    {232, "sn-gather-defense-units"},
    {233, "sn-maximum-wood-drop-distance"},
    {234, "sn-maximum-food-drop-distance"},
    {235, "sn-maximum-hunt-drop-distance"},
    {236, "sn-maximum-fish-boat-drop-distance"},
    {237, "sn-maximum-gold-drop-distance"},
    {238, "sn-maximum-stone-drop-distance"},
    {239, "sn-gather-idle-soldiers-at-center"},
    {240, "sn-garrison-rams"},
    {241, "sn-do-not-transport-from-same-zone"},
};

constexpr NamedId kPlayerNames[] = {
    {-205, "every-neutral"},
    {-203, "every-enemy"},
    {-201, "every-ally"},
    {-111, "any-neutral"},
    {-108, "any-human-ally"},
    {-106, "any-enemy"},
    {-101, "any-ally"},
    {101, "this-any-ally"},
    {111, "this-any-neutral"},
};

static_assert(IsSortedById(kTechNames) && IsSortedById(kAgeNames) && IsSortedById(kSnNames) &&
              IsSortedById(kPlayerNames));

}  // namespace

const std::span<const NamedId> TechNames = kTechNames;
const std::span<const NamedId> AgeNames = kAgeNames;
const std::span<const NamedId> SnNames = kSnNames;
const std::span<const NamedId> PlayerNames = kPlayerNames;

void AppendNameOrNumber(TextBuffer& text, std::span<const NamedId> table, int32_t id) {
  const auto found =
      std::lower_bound(table.begin(), table.end(), id, [](const NamedId& entry, int32_t value) { return entry.id < value; });
  if (found != table.end() && found->id == id) {
    text.Append(found->name);
  } else {
    AppendDecimal(text, id);
  }
}

void AppendEntryOrNumber(TextBuffer& text, std::span<const std::string_view> table, int32_t code) {
  if (code >= 0 && static_cast<size_t>(code) < table.size()) {
    text.Append(table[static_cast<size_t>(code)]);
  } else {
    AppendDecimal(text, code);
  }
}

namespace {

std::string NameOrNumber(std::span<const NamedId> table, int32_t id) {
  TextBuffer text;
  AppendNameOrNumber(text, table, id);
  return std::string(text.View());
}

}  // namespace

std::string GetObjectName(int32_t id) { return NameOrNumber(ObjectNames, id); }

std::string GetTechName(int32_t id) { return NameOrNumber(TechNames, id); }

std::string GetAgeName(int32_t id) { return NameOrNumber(AgeNames, id); }

std::string GetSnName(int32_t id) { return NameOrNumber(SnNames, id); }

std::string GetPlayerName(int32_t id) { return NameOrNumber(PlayerNames, id); }

std::string GetStringParam(std::span<const std::string> strings, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= strings.size()) return {};
  return strings[static_cast<size_t>(index)];
}

}  // namespace script
