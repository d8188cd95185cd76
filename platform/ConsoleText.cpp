#include "platform/ConsoleText.h"

#include <algorithm>
#include <streambuf>

namespace {

class ConsoleTextBuffer : public std::streambuf {
 public:
  explicit ConsoleTextBuffer(ConsoleStream stream) : m_stream(stream) {}

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    WriteConsoleText(m_stream, std::string_view(text, static_cast<size_t>(count)));
    return count;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char text = traits_type::to_char_type(c);
    WriteConsoleText(m_stream, std::string_view(&text, 1));
    return c;
  }

 private:
  ConsoleStream m_stream;
};

void AppendEscape(std::string& text, char c) {
  constexpr std::string_view kLetters = "abtnvfr";  // the escapes of bytes 7 to 13
  const auto byte = static_cast<unsigned char>(c);
  text += '\\';
  if (byte >= 7 && byte <= 13) {
    text += kLetters[byte - 7];
    return;
  }
  text += static_cast<char>('0' + (byte >> 6));
  text += static_cast<char>('0' + ((byte >> 3) & 7));
  text += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::ostream& ConsoleTextStream(ConsoleStream stream) {
  static ConsoleTextBuffer outputBuffer(ConsoleStream::kOutput);
  static ConsoleTextBuffer errorBuffer(ConsoleStream::kError);
  static std::ostream output(&outputBuffer);
  static std::ostream error(&errorBuffer);
  return stream == ConsoleStream::kOutput ? output : error;
}

bool ShowsOnTerminal(const std::ostream& stream) {
  for (const ConsoleStream console : {ConsoleStream::kOutput, ConsoleStream::kError}) {
    if (&stream == &ConsoleTextStream(console)) return IsTerminal(console);
  }
  return false;
}

size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  // The range of the second byte excludes overlong forms, surrogates and code points above U+10FFFF.
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t length = 0; !text.empty(); text.remove_prefix(length)) {
    length = Utf8SequenceLength(text);
    if (length == 0) return false;
  }
  return true;
}

std::string EscapeControls(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const size_t length = Utf8SequenceLength(text);
    const auto lead = static_cast<unsigned char>(text[0]);
    const bool control = length == 1 ? lead < 0x20 || lead == 0x7F
                                     : length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
    const size_t taken = std::max<size_t>(length, 1);
    if (length != 0 && !control) {
      shown += text.substr(0, taken);
    } else {
      for (const char c : text.substr(0, taken)) AppendEscape(shown, c);
    }
    text.remove_prefix(taken);
  }
  return shown;
}

std::string EscapeNonAscii(std::string_view bytes) {
  std::string shown;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      AppendEscape(shown, c);
    } else {
      shown += c;
    }
  }
  return shown;
}
