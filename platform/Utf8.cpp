#include "platform/Utf8.h"

namespace utf8 {

namespace {

constexpr Decoded kNoCharacter = {kReplacement, 1, false};

// The bounds of the second byte after each lead byte exclude overlong forms, surrogates and values
// beyond U+10FFFF; later bytes only continue.
struct LeadByte {
  unsigned char first;
  unsigned char last;
  size_t length;
  unsigned char payloadMask;
  unsigned char secondLow;
  unsigned char secondHigh;
};
constexpr LeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 2, 0x1F, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0x0F, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x0F, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x0F, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x0F, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x07, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x07, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x07, 0x80, 0x8F},
};

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

Decoded DecodeFirst(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  if (byte(0) < 0x80) return {byte(0), 1, true};
  for (const LeadByte& lead : kLeadBytes) {
    if (byte(0) < lead.first || byte(0) > lead.last) continue;
    if (text.size() < lead.length || byte(1) < lead.secondLow || byte(1) > lead.secondHigh) return kNoCharacter;
    char32_t codePoint = byte(0) & lead.payloadMask;
    for (size_t i = 1; i < lead.length; ++i) {
      if (!IsContinuationByte(text[i])) return kNoCharacter;
      codePoint = (codePoint << 6) | (byte(i) & 0x3Fu);
    }
    return {codePoint, lead.length, true};
  }
  return kNoCharacter;
}

std::u32string Decode(std::string_view text) {
  std::u32string codePoints;
  for (size_t at = 0; at < text.size();) {
    const Decoded decoded = DecodeFirst(text.substr(at));
    codePoints += decoded.codePoint;
    at += decoded.length;
  }
  return codePoints;
}

bool IsValid(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const Decoded decoded = DecodeFirst(text.substr(at));
    if (!decoded.valid) return false;
    at += decoded.length;
  }
  return true;
}

size_t CountCodePoints(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) at += DecodeFirst(text.substr(at)).length;
  return count;
}

void Append(char32_t codePoint, std::string* text) {
  const char32_t c = IsSurrogate(codePoint) || codePoint > 0x10FFFF ? kReplacement : codePoint;
  if (c < 0x80) {
    *text += static_cast<char>(c);
    return;
  }
  const size_t length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  *text += static_cast<char>(kLeadMarks[length] | (c >> (6 * (length - 1))));
  for (size_t i = length - 1; i > 0; --i) *text += static_cast<char>(0x80 | ((c >> (6 * (i - 1))) & 0x3F));
}

std::string FromUtf16(std::u16string_view units) {
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    const bool pairs = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                       units[i + 1] < 0xE000;
    if (pairs) {
      Append(0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00u), &text);
    } else {
      Append(unit, &text);  // a surrogate alone becomes the replacement character
    }
  }
  return text;
}

}  // namespace utf8
