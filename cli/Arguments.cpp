#include "cli/Arguments.h"

#include <charconv>

namespace {

const OptionSpec* FindOption(std::span<const OptionSpec> options, std::string_view word) {
  for (const OptionSpec& option : options) {
    if (word.starts_with("--") ? word.substr(2) == option.name
                               : word.size() == 2 && option.shortName != 0 && word[1] == option.shortName) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace

std::optional<Arguments> Arguments::Parse(std::span<const std::string> words, std::span<const OptionSpec> options,
                                          std::string* problem) {
  Arguments parsed;
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word == "-" || !word.starts_with('-')) {
      parsed.m_operands.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    // The value may be joined to the option: "--name=VALUE" or "-cVALUE".
    const size_t equals = word.starts_with("--") ? word.find('=') : std::string::npos;
    std::string written = equals != std::string::npos ? word.substr(0, equals) : word;
    std::optional<std::string> joined;
    if (equals != std::string::npos) joined = word.substr(equals + 1);
    if (!word.starts_with("--") && word.size() > 2) {
      written = word.substr(0, 2);
      joined = word.substr(2);
    }
    const OptionSpec* option = FindOption(options, written);
    if (option == nullptr) {
      *problem = "unknown option " + written;
      return std::nullopt;
    }
    std::string value;
    if (!option->valueName.empty()) {
      if (!joined && i + 1 == words.size()) {
        *problem = "option " + written + " needs " + std::string(option->valueName);
        return std::nullopt;
      }
      value = joined ? *joined : words[++i];
      if (value.empty()) {
        *problem = "option " + written + " needs " + std::string(option->valueName);
        return std::nullopt;
      }
    } else if (joined) {
      *problem = "option " + written + " takes no value";
      return std::nullopt;
    }
    if (!parsed.m_values.emplace(option->name, value).second) {
      *problem = "option --" + std::string(option->name) + " can be given only once";
      return std::nullopt;
    }
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
