#include "platform/ConsoleText.h"

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

}  // namespace

std::ostream& ConsoleTextStream(ConsoleStream stream) {
  static ConsoleTextBuffer outputBuffer(ConsoleStream::kOutput);
  static ConsoleTextBuffer errorBuffer(ConsoleStream::kError);
  static std::ostream output(&outputBuffer);
  static std::ostream error(&errorBuffer);
  return stream == ConsoleStream::kOutput ? output : error;
}
