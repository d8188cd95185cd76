#include "cli/Arguments.h"

#include <CLI/CLI.hpp>

#include <charconv>

namespace cli {

namespace {

// The names as CLI11 takes them: "-o,--output", or "--all".
std::string ParserNames(const OptionSpec& option) {
  std::string names = option.shortName != 0 ? std::string{'-', option.shortName, ','} : std::string();
  return names.append("--").append(option.name);
}

// An unknown option as it was written, without a value joined to it: "--name" of "--name=VALUE",
// "-c" of "-cVALUE".
std::string WrittenOption(const std::string& word) {
  if (word.starts_with("--")) return word.substr(0, word.find('='));
  return word.substr(0, 2);
}

// CLI11 names the option at the start of its message when a value is missing ("--output: 1 required
// OUT missing") or given to an option that takes none ("all was given a disallowed flag override",
// which only "--all=VALUE" can be).
std::string ProblemOf(const CLI::ParseError& error, std::span<const OptionSpec> options) {
  const std::string message = error.what();
  for (const OptionSpec& option : options) {
    const std::string name(option.name);
    if (message.starts_with("--" + name + ": ")) return "option --" + name + " needs " + std::string(option.valueName);
    if (message.starts_with(name + " was given")) return "option --" + name + " takes no value";
  }
  return message;
}

}  // namespace

std::string OptionWord(const OptionSpec& option) {
  return option.shortName != 0 ? std::string{'-', option.shortName} : std::string("--").append(option.name);
}

std::optional<Arguments> Arguments::Parse(std::span<const std::string> words, std::span<const OptionSpec> options,
                                          std::string* problem) {
  Arguments parsed;
  CLI::App app;
  app.set_help_flag();  // help is an option of the tables, answered by the caller
  app.allow_extras();   // an unknown option is reported below, in the words of the other problems
  app.allow_windows_style_options(false);  // CLI11's default on Windows, where "/x" is a path as much as an option
  std::vector<CLI::Option*> added;
  for (const OptionSpec& option : options) {
    CLI::Option* const given = option.valueName.empty()
                                   ? app.add_flag(ParserNames(option))->disable_flag_override()
                                   : app.add_option(ParserNames(option))->type_name(std::string(option.valueName));
    // Given twice is a problem of its own, reported below.
    added.push_back(given->multi_option_policy(CLI::MultiOptionPolicy::TakeAll));
  }
  app.add_option("operands", parsed.m_operands);
  try {
    app.parse(std::vector<std::string>(words.rbegin(), words.rend()));  // CLI11 takes the words last first
  } catch (const CLI::ParseError& error) {
    *problem = ProblemOf(error, options);
    return std::nullopt;
  }
  // What CLI11 leaves are the unknown options, and the "--" that ended the options.
  for (const std::string& word : app.remaining()) {
    if (word == "--") continue;
    *problem = "unknown option " + WrittenOption(word);
    return std::nullopt;
  }
  for (size_t i = 0; i < options.size(); ++i) {
    const OptionSpec& option = options[i];
    const std::string name = std::string("--").append(option.name);
    if (added[i]->count() > 1) {
      *problem = "option " + name + " can be given only once";
      return std::nullopt;
    }
    if (added[i]->count() == 0) continue;
    const std::string value = option.valueName.empty() ? std::string() : added[i]->results().front();
    if (!option.valueName.empty() && value.empty()) {
      *problem = "option " + name + " needs " + std::string(option.valueName);
      return std::nullopt;
    }
    parsed.m_values.emplace(option.name, value);
  }
  return parsed;
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  const auto found = m_values.find(std::string(name));
  if (found == m_values.end()) return std::nullopt;
  return found->second;
}

std::optional<unsigned> Arguments::Count(std::string_view name, unsigned fallback, unsigned most,
                                         std::string* problem) const {
  const std::optional<std::string> text = Value(name);
  if (!text) return fallback;
  unsigned count = 0;
  const std::from_chars_result end = std::from_chars(text->data(), text->data() + text->size(), count);
  if (end.ec != std::errc() || end.ptr != text->data() + text->size() || count < 1 || count > most) {
    *problem = "option --" + std::string(name) + " takes a whole number from 1 to " + std::to_string(most);
    return std::nullopt;
  }
  return count;
}

}  // namespace cli
