#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8, the form of all text inside the program: decoding it to code points and back, UTF-16 as the
// system gives it, and the classes of characters that a stranger's text must not show as they are.
namespace utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// What `text` begins with: a code point and the bytes it takes, or, where no valid sequence starts
// (a stray continuation byte, a cut, overlong or surrogate form, a value beyond U+10FFFF), one
// byte that is no character. `text` is not empty.
struct Decoded {
  char32_t codePoint;  // kReplacement for a byte that is no character
  size_t length;
  bool valid;
};
Decoded DecodeFirst(std::string_view text);

// Each code point of the text; kReplacement for each byte that is no part of valid UTF-8.
std::u32string Decode(std::string_view text);
bool IsValid(std::string_view text);
// How many code points the text holds, a byte that is no part of valid UTF-8 counting as one.
size_t CountCodePoints(std::string_view text);
// A byte that continues a sequence, never begins one.
constexpr bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The code point's bytes; a surrogate or a value beyond Unicode is written as kReplacement.
void Append(char32_t codePoint, std::string* text);
// UTF-16 code units as UTF-8: a high and a low surrogate are one code point, a surrogate alone is
// kReplacement.
std::string FromUtf16(std::u16string_view units);

// C0 controls, DEL and the C1 controls (U+0080 to U+009F).
constexpr bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }
// The bidirectional controls and the invisible format characters, with which a text can pose as
// another: the Arabic letter mark, zero-width spaces and joiners and the marks of direction, the
// embeddings and overrides, the invisible operators, the isolates, the byte order mark.
constexpr bool IsDisguising(char32_t c) {
  return c == 0x061C || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

}  // namespace utf8
