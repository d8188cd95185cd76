// What the selected recorded game holds: the line under the list, and the choice of its scripts.
#include <algorithm>
#include <optional>
#include <string>

#include "frontend/VelkorinDlg.h"
#include "platform/CodePage.h"
#include "platform/WideText.h"
#include "script/CommandNumbering.h"
#include "extraction/GameSummary.h"
#include "extraction/PlayerText.h"
#include "extraction/ResultMessages.h"

namespace {

// How long the selection stays before the game is read: longer than a key's repeat, so that moving
// through the list with the keys reads nothing on the way.
constexpr UINT kSettleMilliseconds = 250;

// "VER 9.4 · 1.0c · ", where the header could be read.
std::string VersionText(const extraction::GameSummary& game) {
  if (!game.version || !game.numbering) return "";
  return *game.version + " · " + std::string(script::NumberingName(*game.numbering)) + " · ";
}

// The game as `velkorin list` describes it: its scripts, or why it has none in the words of the
// dialog's messages.
std::string ContentText(const extraction::GameSummary& game) {
  if (game.status == recgame::ReadResult::kOk) return extraction::DescribeGame(game);
  const std::string message(extraction::ResultMessage(game.status));
  return game.reason.empty() ? message : message + ": " + game.reason;
}

// A player's name as the game itself shows it, in the system's code page.
std::string NameOf(const recgame::Player& player) {
  return extraction::ShownName(player.name, platform::SystemCodePage());
}

// "1 Agé (Franks, team 1), 2 …": who played, humans too; "players unknown" for a game of scripts
// whose players cannot be told, nothing for a game of none.
std::string PlayersText(const extraction::GameSummary& game) {
  if (!game.players) return game.scripts.empty() ? "" : "players unknown";
  std::string text;
  for (const recgame::Player& player : *game.players) {
    if (!text.empty()) text += ", ";
    text += std::to_string(player.number) + " " + NameOf(player) + " (" +
            extraction::CivilizationText(player.civilization) + ", " + extraction::TeamText(player.team) + ")";
  }
  return text;
}

// What salvaging reads of a broken game; nothing when it reads no more.
std::optional<extraction::GameSummary> SalvagedGame(const extraction::GameSummary& game, const std::string& path) {
  if (game.status != recgame::ReadResult::kBroken) return std::nullopt;
  extraction::GameSummary salvaged = extraction::SummarizeGame(path, {.salvage = true});
  if (salvaged.status != recgame::ReadResult::kOk) return std::nullopt;
  return salvaged;
}

// The line under the list: the game's version, what it holds, then who played.
std::string GameLine(const extraction::GameSummary& game, const std::string& content) {
  const std::string players = PlayersText(game);
  return VersionText(game) + (players.empty() ? content : content + " — " + players);
}

// "Script 2 of 4 — player 3 齐谷德 (Vikings, green) — 610 rules", without the player when the players
// are unknown; which scripts repeat another the line under the list says, since the choice is narrow.
std::string ScriptEntry(const extraction::GameSummary& game, size_t n) {
  std::string entry = "Script " + std::to_string(n + 1) + " of " + std::to_string(game.scripts.size()) + " — ";
  if (const recgame::Player* player = extraction::PlayerOfScript(game, n)) {
    entry += "player " + std::to_string(player->number) + " " + NameOf(*player) + " (" +
             extraction::CivilizationText(player->civilization) + ", " + extraction::ColourText(player->colour) +
             ") — ";
  }
  const size_t rules = game.scripts[n].rules;
  return entry + std::to_string(rules) + (rules == 1 ? " rule" : " rules");
}

// The text of the choice's entry.
std::wstring EntryText(HWND hScript, WPARAM nEntry) {
  std::wstring text(static_cast<size_t>(SendMessageW(hScript, CB_GETLBTEXTLEN, nEntry, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(hScript, CB_GETLBTEXT, nEntry, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

}  // namespace

std::string CVelkorinDlg::DamageText(const extraction::GameSummary& broken) {
  if (extraction::CutScript(broken)) return extraction::DescribeGame(broken);
  return std::string(extraction::ResultMessage(recgame::ReadResult::kBroken)) + ": its header-length field is 0";
}

void CVelkorinDlg::OnSelChange() {
  SetStatusLine("");
  const HWND hScript = GetDlgItem(m_hWnd, IDC_SCRIPT);
  SendMessageW(hScript, CB_RESETCONTENT, 0, 0);
  ShowWindow(hScript, SW_HIDE);
  EnableWindow(hScript, FALSE);
  m_bReadPending = m_RecGameList.GetCurSel() != LB_ERR;
  // Each change starts the wait anew.
  if (m_bReadPending) {
    SetTimer(m_hWnd, kReadGameTimer, kSettleMilliseconds, nullptr);
  } else {
    KillTimer(m_hWnd, kReadGameTimer);
  }
}

void CVelkorinDlg::ReadSelectedGame() {
  KillTimer(m_hWnd, kReadGameTimer);
  m_bReadPending = false;
  const recgame::RecGameFile* pGame = SelectedGame();
  if (pGame == nullptr) return;
  const extraction::GameSummary game = extraction::SummarizeGame(pGame->path, {});
  const std::optional<extraction::GameSummary> salvaged = SalvagedGame(game, pGame->path);
  // A game that salvaging reads says what is wrong with it, and the rest as salvaging reads it, which
  // Extract offers to write.
  const extraction::GameSummary& offered = salvaged ? *salvaged : game;
  SetStatusLine(GameLine(offered, salvaged ? DamageText(game) : ContentText(game)));
  if (offered.status != recgame::ReadResult::kOk || offered.scripts.size() < 2) return;
  const HWND hScript = GetDlgItem(m_hWnd, IDC_SCRIPT);
  for (size_t n = 0; n < offered.scripts.size(); ++n) {
    SendMessageW(hScript, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::WideFromUtf8(ScriptEntry(offered, n)).c_str()));
  }
  SendMessageW(hScript, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"All scripts"));
  SendMessageW(hScript, CB_SETCURSEL, 0, 0);
  EnableWindow(hScript, TRUE);
  ShowWindow(hScript, SW_SHOW);
}

std::optional<size_t> CVelkorinDlg::ChosenScript() const {
  const HWND hScript = GetDlgItem(m_hWnd, IDC_SCRIPT);
  const LRESULT count = SendMessageW(hScript, CB_GETCOUNT, 0, 0);
  const LRESULT chosen = SendMessageW(hScript, CB_GETCURSEL, 0, 0);
  // Without a choice, as for a game of one script, the first; the last entry is "All scripts".
  if (count <= 0 || chosen == CB_ERR) return 0;
  if (chosen == count - 1) return std::nullopt;
  return static_cast<size_t>(chosen);
}

void CVelkorinDlg::OnDropDownScript() {
  const HWND hScript = GetDlgItem(m_hWnd, IDC_SCRIPT);
  const HDC hDC = GetDC(hScript);
  const HGDIOBJ hOldFont = SelectObject(hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(hScript, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(hDC, &metrics);
  LONG widest = 0;
  const LRESULT count = SendMessageW(hScript, CB_GETCOUNT, 0, 0);
  for (LRESULT n = 0; n < count; ++n) {
    const std::wstring entry = EntryText(hScript, static_cast<WPARAM>(n));
    SIZE size{};
    GetTextExtentPoint32W(hDC, entry.c_str(), static_cast<int>(entry.size()), &size);
    widest = std::max(widest, size.cx);
  }
  SelectObject(hDC, hOldFont);
  ReleaseDC(hScript, hDC);
  // Four average characters more make room for the frame, the scroll bar and the space around an entry.
  const LONG width = widest + 4 * metrics.tmAveCharWidth;
  // Wine keeps a wider width it had over a narrower one; 1, narrower than the box, resets it first.
  SendMessageW(hScript, CB_SETDROPPEDWIDTH, 1, 0);
  SendMessageW(hScript, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}
