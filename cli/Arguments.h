#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// An option that a command takes: one line of its table, from which both the parser and the help
// are made.
struct OptionSpec {
  std::string_view name;       // the long name, written "--name"
  char shortName = 0;          // written "-c"; 0 when there is none
  std::string_view valueName;  // what its value is called in the usage and the help; empty for an option without value
  std::string_view help;       // what it does, for the help
  bool required = false;       // the command does nothing without it (checked by the caller, after --help)
};

// The words of a command line after the command's name, as GNU programs take them: its operands,
// and each option given, at most once. Options come as "--name VALUE", "--name=VALUE", "-c VALUE"
// or "-cVALUE", anywhere among the operands; the word after an option that takes a value is its
// value, whatever it looks like; "--" ends the options, and "-" alone is an operand.
class Arguments {
 public:
  // Nothing, with `problem` saying why, when the words do not fit the options.
  static std::optional<Arguments> Parse(std::span<const std::string> words, std::span<const OptionSpec> options,
                                        std::string* problem);

  const std::vector<std::string>& Operands() const { return m_operands; }
  bool Has(std::string_view name) const { return m_values.contains(std::string(name)); }
  std::optional<std::string> Value(std::string_view name) const;
  // The value of an option that takes a whole number from 1 to `most`; nothing, with `problem`
  // saying why, when it is something else. `fallback` when the option was not given.
  std::optional<unsigned> Count(std::string_view name, unsigned fallback, unsigned most, std::string* problem) const;

 private:
  std::vector<std::string> m_operands;
  std::map<std::string, std::string> m_values;  // by long name; empty for an option without value
};

// How the option is written where it stands for itself: "-o" when it has a short name, else "--name".
std::string OptionWord(const OptionSpec& option);

}  // namespace cli
