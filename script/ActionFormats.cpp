#include "script/ElementFormats.h"

namespace script {

using enum Rendering;

// The actions of the script language, by action id.
constexpr std::array<ElementFormat, kActionIds> ActionFormats = {{
    {0, "(acknowledge-event %d %d)", {kDecimal, kDecimal}},
    {1, "(acknowledge-taunt %s %d)", {kPlayer, kDecimal}},
    {2, "(attack-now)", {}},
    {3, "(build %s)", {kObject}},
    {4, "(build-forward %s)", {kObject}},
    {5, "(build-gate %d)", {kDecimal}},
    {6, "(build-wall %d %s)", {kDecimal, kObject}},
    {7, "(buy-commodity %s)", {kResource}},
    {8, "(cc-add-resource %d %d)", {kDecimal, kDecimal}},
    {9, "(chat-local \"%s\")", {kString}},
    {10, "(chat-local-using-id %d)", {kDecimal}},
    {11, "(chat-local-using-range %d %d)", {kDecimal, kDecimal}},
    {12, "(chat-local-to-self \"%s\")", {kString}},
    {13, "(chat-to-all \"%s\")", {kString}},
    {14, "(chat-to-all-using-id %d)", {kDecimal}},
    {15, "(chat-to-all-using-range %d %d)", {kDecimal, kDecimal}},
    {16, "(chat-to-allies \"%s\")", {kString}},
    {17, "(chat-to-allies-using-id %d)", {kDecimal}},
    {18, "(chat-to-allies-using-range %d %d)", {kDecimal, kDecimal}},
    {19, "(chat-to-enemies \"%s\")", {kString}},
    {20, "(chat-to-enemies-using-id %d)", {kDecimal}},
    {21, "(chat-to-enemies-using-range %d %d)", {kDecimal, kDecimal}},
    {22, "(chat-to-player %s \"%s\")", {kPlayer, kString}},
    {23, "(chat-to-player-using-id %s %d)", {kPlayer, kDecimal}},
    {24, "(chat-to-player-using-range %s %d %d)", {kPlayer, kDecimal, kDecimal}},
    {25, "(chat-trace %d)", {kDecimal}},
    {26, "(clear-tribute-memory %d %d)", {kDecimal, kDecimal}},
    {27, "(delete-building %s)", {kObject}},
    {28, "(delete-unit %s)", {kObject}},
    {29, "(disable-rule %d)", {kDecimal}},
    {30, "(disable-self)", {}},
    {31, "(disable-timer %d)", {kDecimal}},
    {32, "(do-nothing)", {}},
    {33, "(enable-rule %d)", {kDecimal}},
    {34, "(enable-timer %d %d)", {kDecimal, kDecimal}},
    {35, "(enable-wall-placement %d)", {kDecimal}},
    {36, "(generate-random-number %d)", {kDecimal}},
    {37, "(log \"%s\")", {kString}},
    {38, "(log-trace %d)", {kDecimal}},
    {39, "(release-escrow %d)", {kDecimal}},
    {40, "(research %s)", {kResearch}},
    {41, "(resign)", {}},
    {42, "(sell-commodity %s)", {kResource}},
    {43, "(set-author-name \"%s\")", {kString}},
    {44, "(set-author-email \"%s\")", {kString}},
    {45, "(set-author-version \"%s\")", {kString}},
    {46, "(set-difficulty-parameter %d %d)", {kDecimal, kDecimal}},
    {47, "(set-doctrine %d)", {kDecimal}},
    {48, "(set-escrow-percentage %d %d)", {kDecimal, kDecimal}},
    {49, "(set-goal %d %d)", {kDecimal, kDecimal}},
    {50, "(set-shared-goal %d %d)", {kDecimal, kDecimal}},
    {51, "(set-signal %d)", {kDecimal}},
    {52, "(set-stance %s %d)", {kPlayer, kDecimal}},
    {53, "(set-strategic-number %s %d)", {kStrategicNumber, kDecimal}},
    {54, "(spy)", {}},
    // The one-parameter taunt, in keyword order between spy and taunt-using-range.
    {55, "(taunt %d)", {kDecimal}},
    {56, "(taunt-using-range %d %d)", {kDecimal, kDecimal}},
    {57, "(train %s)", {kObject}},
    {58, "(tribute-to-player %s %d %d)", {kPlayer, kDecimal, kDecimal}},
}};

static_assert(RowsAreSound(ActionFormats));

}  // namespace script
