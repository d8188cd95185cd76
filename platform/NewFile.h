#pragma once

#include <functional>
#include <string>

#include "platform/InterruptCleanup.h"
#include "platform/OsFile.h"

namespace platform {

// Creating files of our own beside files of the user's: always under a new name, exclusively.

// Sixteen random hexadecimal digits: a name made with them is one that no one else picks.
std::string UniqueSuffix();

// The folder part of a path, with its final separator; empty for a bare file name.
std::string FolderOf(const std::string& path);

struct NewFile {
  os::Handle handle = os::kNoHandle;
  std::string path;   // the file created, or the last name tried
  std::string error;  // the system's error for the last name tried
  bool refused = false;  // the folder refused the file for lack of permission
};

// Creates a file at nameFor(0), or, while the names are taken, at nameFor(1), nameFor(2) and so on,
// a few times. Stops at the first failure for another reason. A file that must not outlive an
// interrupted run is registered with `cleanup` before it exists.
NewFile CreateAtFreeName(const std::function<std::string(int attempt)>& nameFor, os::NewFileUse use,
                         InterruptCleanup* cleanup = nullptr);

}  // namespace platform
