#include "platform/TemporaryFile.h"

#include "platform/NewFile.h"

bool TemporaryFile::Create(const std::string& besidePath) {
  // Armed for the moment between the file's creation and the loss of its name.
  InterruptCleanup cleanup;
  const NewFile beside = CreateAtFreeName(
      [&](int attempt) {
        std::string name = besidePath;
        if (attempt > 0) {
          name += '.';
          name += UniqueSuffix();
        }
        return name + ".tmp";
      },
      os::NewFileUse::kScratch, &cleanup);
  if (beside.handle != os::kNoHandle) {
    m_file.Adopt(beside.handle, beside.path);
    return true;
  }
  const std::string folder = os::TemporaryFolder();
  const NewFile elsewhere = CreateAtFreeName(
      [&](int) { return folder + "velkorin-" + UniqueSuffix() + ".tmp"; }, os::NewFileUse::kScratch, &cleanup);
  if (elsewhere.handle != os::kNoHandle) {
    m_file.Adopt(elsewhere.handle, elsewhere.path);
    return true;
  }
  m_failure = beside.path + ": " + beside.error + "; " + elsewhere.path + ": " + elsewhere.error;
  return false;
}
