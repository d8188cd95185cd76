#include "extraction/ScriptFileNames.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "platform/Utf8.h"
#include "extraction/CaseFoldingTable.h"

namespace extraction {

namespace {

char32_t FoldCodePoint(char32_t c) {
  const auto after = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                                      [](char32_t value, const FoldRun& run) { return value < run.first; });
  if (after == std::begin(kFoldRuns)) return c;
  const FoldRun& run = *(after - 1);
  const char32_t offset = c - run.first;
  if (offset % run.stride != 0 || offset / run.stride >= run.count) return c;
  return static_cast<char32_t>(static_cast<int32_t>(c) + run.distance);
}

// Stands for a byte that is no part of valid UTF-8: beyond every code point.
constexpr char32_t kStrayByte = 0x110000;

// The base at each level: 0 the name without extension, 1 the whole name, from 2 on "NAME~LEVEL".
std::string BaseAt(const std::string& name, unsigned level) {
  const size_t dot = name.rfind('.');
  const std::string_view stem = std::string_view(name).substr(0, dot);
  // A name that is only an extension would give a script file that a listing hides.
  if (stem.find_first_not_of('.') == std::string_view::npos) {
    const std::string visible = name.substr(std::min(name.find_first_not_of('.'), name.size()));
    return level < 2 ? visible : visible + "~" + std::to_string(level);
  }
  if (level == 0) return std::string(stem);
  return level == 1 ? name : name + "~" + std::to_string(level);
}

}  // namespace

std::u32string FoldCase(std::string_view text) {
  std::u32string folded;
  for (size_t at = 0; at < text.size();) {
    const utf8::Decoded decoded = utf8::DecodeFirst(text.substr(at));
    folded += decoded.valid ? FoldCodePoint(decoded.codePoint) : kStrayByte + static_cast<unsigned char>(text[at]);
    at += decoded.length;
  }
  return folded;
}

std::string ScriptFileName(const std::string& base, size_t script) {
  return script == 0 ? base + ".per" : base + "-" + std::to_string(script + 1) + ".per";
}

std::vector<std::string> ScriptBases(const std::vector<std::string>& names) {
  std::vector<unsigned> levels(names.size(), 0);
  std::vector<std::string> bases(names.size());
  for (bool changed = true; changed;) {
    for (size_t i = 0; i < names.size(); ++i) bases[i] = BaseAt(names[i], levels[i]);
    // The games that could write each file name, by their order.
    std::map<std::u32string, std::vector<size_t>> claims;
    for (size_t i = 0; i < names.size(); ++i) {
      for (size_t n = 0; n < kMaxScripts; ++n) {
        std::vector<size_t>& games = claims[FoldCase(ScriptFileName(bases[i], n))];
        if (games.empty() || games.back() != i) games.push_back(i);
      }
    }
    // Where games meet, those without extension all take it; where only whole names meet, all but the
    // first take the next level. Levels only grow, and the first claimant never moves, so this ends.
    std::vector<bool> moves(names.size(), false);
    for (const auto& [file, games] : claims) {
      if (games.size() < 2) continue;
      const bool anyWithoutExtension = std::any_of(games.begin(), games.end(), [&](size_t i) { return levels[i] == 0; });
      for (const size_t i : games) {
        if (anyWithoutExtension ? levels[i] == 0 : i != games.front()) moves[i] = true;
      }
    }
    changed = false;
    for (size_t i = 0; i < names.size(); ++i) {
      if (moves[i]) {
        ++levels[i];
        changed = true;
      }
    }
  }
  return bases;
}

}  // namespace extraction
