#include "platform/ConsoleText.h"

#include <streambuf>

#include "platform/Utf8.h"

namespace platform {

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

// A character that could pose as other text, as a visible token: U+202E is \u202e.
void AppendCodePointEscape(std::string& text, char32_t c) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  text += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(c >> shift) & 0xF];
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

std::string EscapeControls(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  while (!text.empty()) {
    const utf8::Decoded decoded = utf8::DecodeFirst(text);
    const std::string_view bytes = text.substr(0, decoded.length);
    if (!decoded.valid || utf8::IsControl(decoded.codePoint)) {
      for (const char c : bytes) AppendEscape(shown, c);
    } else if (utf8::IsDisguising(decoded.codePoint)) {
      AppendCodePointEscape(shown, decoded.codePoint);
    } else {
      shown += bytes;
    }
    text.remove_prefix(decoded.length);
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

}  // namespace platform
