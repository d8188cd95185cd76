#include "platform/TemporaryFile.h"

#include "platform/NewFile.h"

namespace platform {

namespace {

// A file without a name where the folder's file system makes one; else a file at a new name, which
// loses it as soon as the file is open. `cleanup` is armed for that moment.
NewFile CreateIn(const std::string& folder, const std::function<std::string(int attempt)>& nameFor,
                 InterruptCleanup* cleanup) {
  const std::string where = folder.empty() ? std::string(".") + os::kPathSeparator : folder;
  const os::Handle unnamed = os::CreateUnnamedScratchFile(where);
  if (unnamed != os::kNoHandle) return {unnamed, "a temporary file in " + where};
  return CreateAtFreeName(nameFor, os::NewFileUse::kScratch, cleanup);
}

}  // namespace

bool TemporaryFile::Create(const std::string& besidePath) {
  InterruptCleanup cleanup;
  const NewFile beside = CreateIn(
      FolderOf(besidePath),
      [&](int attempt) {
        std::string name = besidePath;
        if (attempt > 0) {
          name += '.';
          name += UniqueSuffix();
        }
        return name + ".tmp";
      },
      &cleanup);
  if (beside.handle != os::kNoHandle) {
    m_file.Adopt(beside.handle, beside.path);
    return true;
  }
  const std::string folder = os::TemporaryFolder();
  const NewFile elsewhere =
      CreateIn(folder, [&](int) { return folder + "velkorin-" + UniqueSuffix() + ".tmp"; }, &cleanup);
  if (elsewhere.handle != os::kNoHandle) {
    m_file.Adopt(elsewhere.handle, elsewhere.path);
    return true;
  }
  m_failure = beside.path + ": " + beside.error + "; " + elsewhere.path + ": " + elsewhere.error;
  return false;
}

}  // namespace platform
