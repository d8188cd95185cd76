#include "platform/CodePage.h"

namespace platform {

const CodePage* FindCodePage(std::string_view name) {
  for (const CodePage& page : kCodePages) {
    if (page.name == name) return &page;
  }
  return nullptr;
}

std::string CodePageNames() {
  std::string names;
  for (const CodePage& page : kCodePages) names += (names.empty() ? "" : ", ") + std::string(page.name);
  return names;
}

}  // namespace platform
