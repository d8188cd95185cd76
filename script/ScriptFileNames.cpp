#include "script/ScriptFileNames.h"

#include <map>

namespace {

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

namespace script {

std::string ScriptFileName(const std::string& base, size_t script) {
  return script == 0 ? base + ".per" : base + "-" + std::to_string(script + 1) + ".per";
}

std::vector<std::string> ScriptBases(const std::vector<std::string>& gameNames) {
  std::vector<std::string> bases;
  for (const std::string& name : gameNames) bases.push_back(name.substr(0, name.rfind('.')));
  std::vector<bool> keepsExtension(gameNames.size(), false);
  for (bool changed = true; changed;) {
    std::map<std::string, size_t> claims;  // how many games could write each file name
    for (const std::string& base : bases) {
      for (size_t n = 0; n < kMaxScripts; ++n) ++claims[AsciiLower(ScriptFileName(base, n))];
    }
    changed = false;
    for (size_t i = 0; i < gameNames.size(); ++i) {
      for (size_t n = 0; n < kMaxScripts && !keepsExtension[i]; ++n) {
        if (claims[AsciiLower(ScriptFileName(bases[i], n))] == 1) continue;
        bases[i] = gameNames[i];
        keepsExtension[i] = changed = true;
      }
    }
  }
  return bases;
}

}  // namespace script
