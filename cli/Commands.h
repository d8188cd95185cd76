#pragma once

#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cli/Arguments.h"

namespace cli {

// The commands of the velkorin command line.

// A command line that does not fit its command; RunVelkorin reports it with the command's usage.
class UsageProblem : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One entry of the command table: the usage and the help are made from it, and its options are
// parsed by it.
struct Command {
  std::string_view name;
  std::string_view operands;  // as the usage writes them, such as "RECGAME" or "[FOLDER]"
  std::string_view help;      // what the command does, for the help
  std::span<const OptionSpec> options;
  // Returns the exit status; throws UsageProblem when the command line does not fit.
  int (*run)(const Arguments& arguments, std::ostream& out, std::ostream& err);
};

extern const Command kExtractCommand;
extern const Command kListCommand;
extern const Command kExtractAllCommand;

}  // namespace cli
