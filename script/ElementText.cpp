#include "script/ElementText.h"

#include <cstdio>

std::string HexId(int16_t id) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(static_cast<int32_t>(id)));
  return std::string(text, static_cast<size_t>(length));
}

std::string NotSupportedText(const AiElement& element) {
  std::string text = "(";
  text += HexId(element.id);
  for (const int32_t parameter : {element.p1, element.p2, element.p3, element.p4}) {
    text += ' ';
    text += std::to_string(parameter);
  }
  text += ");not supported";
  return text;
}
