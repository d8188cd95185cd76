#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// An option that a command takes.
struct OptionSpec {
  std::string_view name;       // the long name, written "--name"
  char shortName = 0;          // written "-c"; 0 when there is none
  std::string_view valueName;  // what its value is called in messages; empty for an option without value
};

// The words of a command line after the command's name: its operands, and each option given, at
// most once. Options come as "--name VALUE", "--name=VALUE", "-c VALUE" or "-cVALUE"; "--" ends
// them, and "-" alone is an operand.
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
