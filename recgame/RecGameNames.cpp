#include "recgame/RecGameNames.h"

#include <algorithm>

#include "platform/Utf8.h"

namespace recgame {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ListedBefore(const std::string& a, const std::string& b) {
  const auto lowerLess = [](char x, char y) {
    return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) return false;
  return a < b;
}

}  // namespace

bool IsRecGameName(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  // "?" stands for one character, which in UTF-8 may take several bytes.
  return extension.size() >= 3 && AsciiLower(extension[0]) == 'm' && AsciiLower(extension[1]) == 'g' &&
         std::all_of(extension.begin() + 3, extension.end(), utf8::IsContinuationByte);
}

std::vector<size_t> ListedRecGames(const std::vector<std::string>& names) {
  std::vector<size_t> listed;
  for (size_t i = 0; i < names.size(); ++i) {
    if (IsRecGameName(names[i])) listed.push_back(i);
  }
  std::stable_sort(listed.begin(), listed.end(), [&](size_t a, size_t b) { return ListedBefore(names[a], names[b]); });
  return listed;
}

}  // namespace recgame
