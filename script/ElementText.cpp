#include "script/ElementText.h"

#include <charconv>

namespace script {

namespace {

// The longest text of a 32-bit number: a sign and ten digits, or eight hexadecimal digits.
constexpr size_t kMaxNumberText = 11;

}  // namespace

void AppendDecimal(TextBuffer& text, int32_t value) {
  text.Reserve(kMaxNumberText);
  const std::to_chars_result end = std::to_chars(text.End(), text.End() + kMaxNumberText, value);
  text.Extend(static_cast<size_t>(end.ptr - text.End()));
}

void AppendHexId(TextBuffer& text, int16_t id) {
  text.Reserve(kMaxNumberText);
  char* const start = text.End();
  const auto value = static_cast<uint32_t>(static_cast<int32_t>(id));
  char* end = std::to_chars(start + (value < 0x10 ? 1 : 0), start + kMaxNumberText, value, 16).ptr;
  if (value < 0x10) *start = '0';
  for (char* digit = start; digit != end; ++digit) {
    if (*digit >= 'a') *digit = static_cast<char>(*digit - 'a' + 'A');
  }
  text.Extend(static_cast<size_t>(end - start));
}

void AppendNotSupported(TextBuffer& text, const recgame::AiElement& element) {
  text.Append('(');
  AppendHexId(text, element.id);
  for (const int32_t parameter : {element.p1, element.p2, element.p3, element.p4}) {
    text.Append(' ');
    AppendDecimal(text, parameter);
  }
  text.Append(");not supported");
}

}  // namespace script
