#include "script/ElementText.h"

#include <array>
#include <charconv>

void AppendDecimal(std::string& text, int32_t value) {
  std::array<char, 12> digits{};
  const std::to_chars_result end = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  text.append(digits.data(), end.ptr);
}

void AppendHexId(std::string& text, int16_t id) {
  std::array<char, 8> digits{};
  const auto value = static_cast<uint32_t>(static_cast<int32_t>(id));
  const std::to_chars_result end = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
  const size_t length = static_cast<size_t>(end.ptr - digits.data());
  if (length < 2) text += '0';
  for (size_t i = 0; i < length; ++i) {
    const char digit = digits[i];
    text += digit >= 'a' ? static_cast<char>(digit - 'a' + 'A') : digit;
  }
}

void AppendNotSupported(std::string& text, const AiElement& element) {
  text += '(';
  AppendHexId(text, element.id);
  for (const int32_t parameter : {element.p1, element.p2, element.p3, element.p4}) {
    text += ' ';
    AppendDecimal(text, parameter);
  }
  text += ");not supported";
}
