#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "tests/testkit/RecGameBuilder.h"

// What the tests of the command line share: a run of it, and scripts for its recorded games.
namespace testkit {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun RunCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::RunVelkorin(args, out, err);
  return {status, out.str(), err.str()};
}

inline const std::vector<RuleSpec> kTwoRules = {MakeRule({Fact(2, 1)}, {Action(59, 2)}), MakeRule({}, {Action(13, 0)})};
inline const std::vector<RuleSpec> kOneRule = {MakeRule({Fact(3)}, {Action(30)})};

// The text of the script as the writer writes it, from the section's strings (none here).
inline std::string ScriptText(const std::vector<RuleSpec>& rules) {
  return WritePerText(*LoadSection({.rules = rules}));
}

}  // namespace testkit
