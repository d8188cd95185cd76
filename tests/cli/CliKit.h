#pragma once

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "tests/testkit/RecGameBuilder.h"

// What the tests of the folder commands share: a run of the command line, and recorded games with
// several scripts.
namespace testkit {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunVelkorin(args, out, err);
  return {status, out.str(), err.str()};
}

struct GameSpec {
  std::vector<std::vector<RuleSpec>> scripts;  // none: a game without AI script
  std::string version;                         // the start of the header; filler when empty
  size_t size = 0;                             // the file's size, with padding after the header
  Preamble preamble = Preamble::kMgx;
};

inline std::vector<uint8_t> BuildGame(const GameSpec& game) {
  AiSectionSpec section;
  section.aiFlag = game.scripts.empty() ? 0 : 1;
  if (!game.scripts.empty()) section.rules = game.scripts.front();
  for (size_t n = 1; n < game.scripts.size(); ++n) {
    const std::vector<uint8_t> block = BuildAiBlock(game.scripts[n]);
    section.trailer.insert(section.trailer.end(), block.begin(), block.end());
  }
  std::vector<uint8_t> header = BuildHeader(section);
  if (!game.version.empty()) {
    std::copy(game.version.begin(), game.version.end(), header.begin());
    header[game.version.size()] = 0;
  }
  std::vector<uint8_t> file = Frame(Deflate(header), {.preamble = game.preamble});
  file.resize(std::max(file.size(), game.size));
  return file;
}

// The text of the script as the writer writes it, from the section's strings (none here).
inline std::string ScriptText(const std::vector<RuleSpec>& rules) {
  AiSectionSpec section;
  section.rules = rules;
  return WritePerText(*LoadSection(section));
}

}  // namespace testkit
