// velkorin list: recorded games, each with its AI scripts or why it has none, and its players.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "cli/Extraction.h"
#include "platform/CodePage.h"
#include "platform/ConsoleText.h"
#include "platform/OsFile.h"
#include "platform/Parallel.h"
#include "platform/SaveGameFolder.h"
#include "platform/Utf8.h"
#include "recgame/RecGameFolder.h"
#include "extraction/GameJson.h"
#include "extraction/GameSummary.h"
#include "extraction/PlayerText.h"

namespace cli {

namespace {

constexpr OptionSpec kOptions[] = {
    {"json", 0, "",
     "write the list as one JSON object, one game to a line; for several operands, an array of such objects"},
    kSalvageOption,
    kEncodingOption,
};

// One part of the listing: the recorded games named as operands, or those of one folder.
struct Listing {
  std::optional<std::string> folder;  // nothing for the games named one by one
  std::vector<recgame::RecGameFile> games;
  std::vector<extraction::GameSummary> summaries;
};

// Characters a terminal shows two columns wide: Hangul's leading consonants, the CJK blocks from the
// radicals to Yi, the Hangul syllables, the compatibility ideographs, the vertical and fullwidth
// forms, and the ideographs beyond the first plane. Names in the East Asian code pages are of them.
constexpr std::pair<char32_t, char32_t> kWideCharacters[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},  {0xA000, 0xA4CF},
    {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD}};

// The columns a text takes on a terminal. Every cell is valid UTF-8, its other bytes escaped.
size_t Width(std::string_view text) {
  size_t width = 0;
  while (!text.empty()) {
    const utf8::Decoded decoded = utf8::DecodeFirst(text);
    const bool wide = std::any_of(std::begin(kWideCharacters), std::end(kWideCharacters), [&](const auto& range) {
      return decoded.codePoint >= range.first && decoded.codePoint <= range.second;
    });
    width += wide ? 2 : 1;
    text.remove_prefix(decoded.length);
  }
  return width;
}

// A table of text: each column as wide as its widest cell, two spaces between columns.
using Row = std::vector<std::string>;

std::vector<size_t> ColumnWidths(const std::vector<Row>& rows) {
  std::vector<size_t> widths;
  for (const Row& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (size_t column = 0; column < row.size(); ++column) widths[column] = std::max(widths[column], Width(row[column]));
  }
  return widths;
}

// The column of numbers is aligned right, the others left; the last cell of a row is not padded.
void WriteRow(std::ostream& out, std::string_view indent, const Row& row, const std::vector<size_t>& widths,
              size_t numberColumn) {
  out << indent;
  for (size_t column = 0; column < row.size(); ++column) {
    const std::string padding(widths[column] - Width(row[column]), ' ');
    if (column == numberColumn) out << padding;
    out << row[column];
    if (column + 1 < row.size()) out << (column == numberColumn ? "" : padding) << "  ";
  }
  out << '\n';
}

// Names, and reasons that may hold names, with their control characters escaped: no name can end a
// line of the listing or reach the terminal as a command.
Row GameRow(const recgame::RecGameFile& game, const extraction::GameSummary& summary) {
  return {platform::EscapeControls(game.name), std::to_string(game.size), summary.version.value_or(""),
          std::string(summary.numbering ? script::NumberingName(*summary.numbering) : ""),
          platform::EscapeControls(extraction::DescribeGame(summary))};
}

Row PlayerRow(const recgame::Player& player, const extraction::GameSummary& game, const platform::CodePage& names) {
  Row row = {std::to_string(player.number),           extraction::ShownName(player.name, names),
             extraction::PlayerTypeText(player.type), extraction::CivilizationText(player.civilization),
             extraction::ColourText(player.colour),   extraction::TeamText(player.team)};
  if (player.script) {
    const size_t rules = game.scripts[*player.script].rules;
    row.push_back("script " + std::to_string(*player.script + 1) + ": " + std::to_string(rules) +
                  (rules == 1 ? " rule" : " rules"));
  }
  return row;
}

// Under its game, indented: each player, or that they are unknown when the game has scripts.
void WritePlayers(std::ostream& out, const extraction::GameSummary& game, const platform::CodePage& names) {
  if (!game.players) {
    if (!game.scripts.empty()) out << "  players unknown\n";
    return;
  }
  std::vector<Row> rows;
  for (const recgame::Player& player : *game.players) rows.push_back(PlayerRow(player, game, names));
  const std::vector<size_t> widths = ColumnWidths(rows);
  for (const Row& row : rows) WriteRow(out, "  ", row, widths, 0);
}

void WriteText(std::ostream& out, const std::vector<Listing>& listings, const platform::CodePage& names) {
  for (const Listing& listing : listings) {
    if (&listing != &listings.front()) out << '\n';
    if (listing.folder) {
      out << platform::EscapeControls(*listing.folder) << ": " << listing.games.size()
          << (listing.games.size() == 1 ? " recorded game\n" : " recorded games\n");
    }
    std::vector<Row> rows;
    for (size_t i = 0; i < listing.games.size(); ++i) rows.push_back(GameRow(listing.games[i], listing.summaries[i]));
    const std::vector<size_t> widths = ColumnWidths(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
      WriteRow(out, "", rows[i], widths, 1);
      WritePlayers(out, listing.summaries[i], names);
    }
  }
}

// One JSON object, each game's on a line of its own, so that the output reads well and a line-wise
// tool can take it game by game.
std::string ListingJson(const Listing& listing, const platform::CodePage& names) {
  std::string json = extraction::ListingJsonOpening(listing.folder);
  for (size_t i = 0; i < listing.games.size(); ++i) {
    json += i == 0 ? "\n  " : ",\n  ";
    json += extraction::GameJson(listing.games[i].name, listing.games[i].size, listing.summaries[i], names);
  }
  return json + (listing.games.empty() ? "]}" : "\n]}");
}

void WriteJson(std::ostream& out, const std::vector<Listing>& listings, const platform::CodePage& names, bool several) {
  if (!several) {
    for (const Listing& listing : listings) out << ListingJson(listing, names) << '\n';
    return;
  }
  out << '[';
  for (const Listing& listing : listings) out << (&listing == &listings.front() ? "\n" : ",\n") << ListingJson(listing, names);
  out << "\n]\n";
}

std::vector<std::string> Operands(const Arguments& arguments) {
  if (!arguments.Operands().empty()) return arguments.Operands();
  const std::optional<std::string> saveGame = platform::FindSaveGameFolder();
  if (!saveGame) throw UsageProblem("no FOLDER given, and the game's SaveGame folder cannot be found; give FOLDER");
  return {*saveGame};
}

// The games the operands name as one listing, if any, then each folder's; an operand that cannot
// be read is reported on `err`, and `allRead` cleared.
std::vector<Listing> ReadOperands(const std::vector<std::string>& operands, std::ostream& err, bool* allRead) {
  Listing files;
  std::vector<Listing> folders;
  for (const std::string& operand : operands) {
    std::string problem;
    if (os::StatusOf(operand).kind == os::PathKind::kDirectory) {
      if (std::optional<std::vector<recgame::RecGameFile>> games = recgame::ListRecGameFolder(operand, &problem)) {
        folders.push_back({operand, std::move(*games), {}});
        continue;
      }
      Report(err, operand, "cannot read the folder", problem, 0);
    } else if (const std::optional<recgame::RecGameFile> game = recgame::RecGameFileAt(operand, &problem)) {
      files.games.push_back(*game);
      continue;
    } else {
      Report(err, operand, "cannot be listed", problem, 0);
    }
    *allRead = false;
  }
  if (!files.games.empty()) folders.insert(folders.begin(), std::move(files));
  return folders;
}

int RunList(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const platform::CodePage& names = ReadCodePage(arguments);
  const std::vector<std::string> operands = Operands(arguments);
  const recgame::LoadOptions load{.salvage = arguments.Has("salvage")};
  bool allRead = true;
  std::vector<Listing> listings = ReadOperands(operands, err, &allRead);
  for (Listing& listing : listings) {
    listing.summaries.resize(listing.games.size());
    platform::ForEachInParallel(listing.games.size(), platform::ProcessorCount(), [&](size_t i) {
      listing.summaries[i] = extraction::SummarizeGame(listing.games[i].path, load);
    });
  }
  if (arguments.Has("json")) {
    WriteJson(out, listings, names, operands.size() > 1);
  } else {
    WriteText(out, listings, names);
  }
  return allRead ? kExitOk : kExitFileOpenError;
}

}  // namespace

const Command kListCommand = {
    "list",
    "[RECGAME|FOLDER]...",
    "list recorded games, each with its size, its version text, the rule counts of its AI scripts or why it has "
    "none, and its players, each computer player with the script it ran: first every RECGAME given, whatever its "
    "name, as one table, then the recorded games of each FOLDER (*.mg?, in any case); without operands, the "
    "game's SaveGame folder (on Linux, in the Wine prefix)",
    kOptions,
    RunList,
};

}  // namespace cli
