#include "platform/NewFile.h"

#include <cstdio>
#include <random>

namespace platform {

namespace {

// Names are taken only by accident or on purpose; after this many a folder is not worth trying.
constexpr int kAttempts = 16;

}  // namespace

std::string UniqueSuffix() {
  thread_local std::mt19937_64 generator{(static_cast<uint64_t>(std::random_device{}()) << 32) ^
                                         std::random_device{}()};
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
  return text;
}

std::string FolderOf(const std::string& path) {
  for (size_t end = path.size(); end > 0; --end) {
    if (os::IsPathSeparator(path[end - 1])) return path.substr(0, end);
  }
  return {};
}

NewFile CreateAtFreeName(const std::function<std::string(int attempt)>& nameFor, os::NewFileUse use,
                         InterruptCleanup* cleanup) {
  NewFile created;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    created.path = nameFor(attempt);
    if (cleanup != nullptr) cleanup->Arm(created.path);
    created.handle = os::CreateNewFile(created.path, use);
    if (created.handle != os::kNoHandle) return created;
    created.error = os::LastErrorText();
    const bool taken = os::FailedBecauseItExists();
    created.refused = os::FailedForLackOfPermission();
    if (cleanup != nullptr) cleanup->Disarm();
    if (!taken) break;
  }
  return created;
}

}  // namespace platform
