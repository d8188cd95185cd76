#include "extraction/PlayerText.h"

#include <array>

#include "platform/ConsoleText.h"

namespace extraction {

namespace {

// By number from 1; The Conquerors have 18, games played with later data go on.
constexpr std::array<std::string_view, 31> kCivilizations = {
    "Britons",   "Franks",   "Goths",   "Teutons",  "Japanese",   "Chinese", "Byzantines", "Persians",
    "Saracens",  "Turks",    "Vikings", "Mongols",  "Celts",      "Spanish", "Aztecs",     "Mayans",
    "Huns",      "Koreans",  "Italians", "Indians", "Incas",      "Magyars", "Slavs",      "Portuguese",
    "Ethiopians", "Malians", "Berbers", "Khmer",    "Malay",      "Burmese", "Vietnamese"};

constexpr std::array<std::string_view, 8> kColours = {"blue", "red", "green", "yellow",
                                                      "cyan", "purple", "grey", "orange"};

constexpr uint8_t kNoTeam = 1;

}  // namespace

std::optional<std::string_view> CivilizationName(uint8_t civilization) {
  if (civilization == 0 || civilization > kCivilizations.size()) return std::nullopt;
  return kCivilizations[civilization - 1];
}

std::optional<std::string_view> ColourName(uint8_t colour) {
  if (colour >= kColours.size()) return std::nullopt;
  return kColours[colour];
}

std::optional<int> TeamNumber(uint8_t stored) {
  if (stored <= kNoTeam) return std::nullopt;
  return stored - kNoTeam;
}

std::string CivilizationText(uint8_t civilization) {
  const std::optional<std::string_view> name = CivilizationName(civilization);
  return name ? std::string(*name) : "civilization " + std::to_string(civilization);
}

std::string ColourText(uint8_t colour) {
  const std::optional<std::string_view> name = ColourName(colour);
  return name ? std::string(*name) : "colour " + std::to_string(colour);
}

std::string TeamText(uint8_t stored) {
  const std::optional<int> team = TeamNumber(stored);
  return team ? "team " + std::to_string(*team) : "no team";
}

std::string PlayerTypeText(int32_t type) {
  if (type == recgame::kHumanPlayer) return "human";
  if (type == recgame::kComputerPlayer) return "computer";
  return "type " + std::to_string(type);
}

std::string ShownName(std::string_view bytes, const platform::CodePage& page) {
  const std::optional<std::string> text = platform::DecodeCodePage(bytes, page);
  return text ? platform::EscapeControls(*text) : platform::EscapeNonAscii(bytes);
}

std::string DescribePlayer(const recgame::Player& player, const platform::CodePage& page) {
  return "player " + std::to_string(player.number) + ", " + ShownName(player.name, page) + ", " +
         CivilizationText(player.civilization) + ", " + ColourText(player.colour) + ", " + TeamText(player.team);
}

}  // namespace extraction
