#include "extraction/GameSummary.h"

#include <algorithm>
#include <exception>

#include "extraction/AiScript.h"
#include "extraction/ResultMessages.h"

namespace extraction {

namespace {

constexpr size_t kVersionLength = 8;

// What the file claims of the script where it does not hold it, and the earlier script it repeats.
std::string Remarks(const ScriptSummary& script) {
  std::string remarks;
  if (script.IsCutShort()) {
    remarks += " (cut short: the file claims " + std::to_string(script.claimed) + ")";
  } else if (script.claimed < 0) {
    remarks += " (the file claims " + std::to_string(script.claimed) + ")";
  }
  if (script.sameAs) remarks += " (same as " + std::to_string(*script.sameAs) + ")";
  return remarks;
}

}  // namespace

std::string VersionText(std::span<const uint8_t> header) {
  std::string text;
  for (const uint8_t byte : header.first(std::min(header.size(), kVersionLength))) {
    if (byte == 0) break;
    text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '?';
  }
  return text;
}

std::vector<ScriptSummary> SummarizeScripts(const CAiScript& script) {
  std::vector<ScriptSummary> scripts;
  for (size_t n = 0; n < script.ScriptCount(); ++n) {
    ScriptSummary summary{script.Rules(n).size(), script.Rules(n).Claimed(), std::nullopt};
    for (size_t earlier = 0; earlier < n && !summary.sameAs; ++earlier) {
      const recgame::AiRules before = script.Rules(earlier);
      const recgame::AiRules rules = script.Rules(n);
      if (std::equal(before.begin(), before.end(), rules.begin(), rules.end())) summary.sameAs = earlier + 1;
    }
    scripts.push_back(summary);
  }
  return scripts;
}

GameSummary SummarizeGame(const std::string& path, const recgame::LoadOptions& load) {
  return SummarizeGame([&](recgame::RecGameHeader* header,
                           std::string* failure) { return recgame::LoadRecGame(path, header, failure, load); },
                       load.salvage);
}

GameSummary SummarizeGame(const CAiScript::HeaderLoader& load, bool salvage) {
  GameSummary summary;
  try {
    CAiScript script;
    summary.status = script.LoadAndParse(load, salvage);
    if (!script.Header().empty()) {
      summary.version = VersionText(script.Header());
      summary.numbering = script.Numbering().kind;
    }
    summary.reason = script.LoadFailure();
    summary.scripts = SummarizeScripts(script);
    summary.players = script.Players();
  } catch (const std::exception& error) {
    // A read that fails once the file is open leaves the game as unreadable as one that never opened.
    summary = {recgame::ReadResult::kCannotOpen, std::nullopt, std::nullopt, error.what(), {}, std::nullopt};
  }
  return summary;
}

std::string DescribeGame(const GameSummary& game) {
  switch (game.status) {
    case recgame::ReadResult::kNoAiScript:
      return "no AI script";
    case recgame::ReadResult::kBroken:
      if (const std::optional<size_t> cut = CutScript(game)) {
        return CutShortMessage(*cut, game.scripts[*cut].claimed, game.scripts[*cut].rules);
      }
      return "broken";
    case recgame::ReadResult::kCannotOpen:
      return game.reason.empty() ? "cannot be opened" : "cannot be opened: " + game.reason;
    case recgame::ReadResult::kOk:
      break;
  }
  // One script reads "1 script: 0 rules (the file claims -1)"; of several, what is said of each stands
  // beside its count: "608, 0 (the file claims -1), 610 rules".
  if (game.scripts.size() == 1) {
    const size_t rules = game.scripts[0].rules;
    return "1 script: " + std::to_string(rules) + (rules == 1 ? " rule" : " rules") + Remarks(game.scripts[0]);
  }
  std::string text = std::to_string(game.scripts.size()) + " scripts: ";
  for (const ScriptSummary& script : game.scripts) {
    if (&script != &game.scripts.front()) text += ", ";
    text += std::to_string(script.rules) + Remarks(script);
  }
  return text + " rules";
}

std::string MissingRulesMessage(size_t n, const ScriptSummary& script) {
  if (script.IsCutShort()) return SalvagedMessage(n, script.claimed, script.rules);
  if (script.rules == 0) return EmptyScriptMessage(n, script.claimed);
  return "";
}

std::optional<size_t> CutScript(const GameSummary& game) {
  if (game.scripts.empty() || !game.scripts.back().IsCutShort()) return std::nullopt;
  return game.scripts.size() - 1;
}

const recgame::Player* PlayerOfScript(const std::optional<std::vector<recgame::Player>>& players, size_t script) {
  if (!players) return nullptr;
  for (const recgame::Player& player : *players) {
    if (player.script == script) return &player;
  }
  return nullptr;
}

const recgame::Player* PlayerOfScript(const GameSummary& game, size_t script) {
  return PlayerOfScript(game.players, script);
}

}  // namespace extraction
