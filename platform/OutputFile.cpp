#include "platform/OutputFile.h"

#include "platform/FileError.h"
#include "platform/NewFile.h"

OutputFile::~OutputFile() {
  if (m_staging.empty()) return;
  // Only reached on a path that is already failing, whose own error is the one to report.
  os::RemoveFile(m_staging);
}

OutputFile::OpenResult OutputFile::Create(const std::string& path,
                                          const std::optional<os::FileIdentity>& protectedFile) {
  const os::PathStatus status = os::StatusOf(path);
  const bool exists = status.kind != os::PathKind::kMissing;
  if (exists && protectedFile && status.identity == *protectedFile) return OpenResult::kIsProtectedFile;

  switch (status.kind) {
    case os::PathKind::kDirectory:
      return OpenResult::kCannotCreate;
    case os::PathKind::kOther: {
      const os::Handle handle = os::OpenExistingForWriting(path, false);
      if (handle == os::kNoHandle) return OpenResult::kCannotCreate;
      m_file.Adopt(handle, path);
      return OpenResult::kOk;
    }
    case os::PathKind::kRegular:
    case os::PathKind::kMissing:
      break;
  }
  if (!status.isLink) return CreateBeside(path, status);
  // A link that leads nowhere is not followed: a planted link would choose where the text goes.
  const std::optional<std::string> target = exists ? os::ResolveLinks(path) : std::nullopt;
  if (!target) return OpenResult::kCannotCreate;
  return CreateBeside(*target, status);
}

OutputFile::OpenResult OutputFile::CreateBeside(const std::string& target, const os::PathStatus& status) {
  const std::string folder = FolderOf(target);
  const NewFile staging = CreateAtFreeName([&](int) { return folder + ".velkorin-" + UniqueSuffix() + ".tmp"; },
                                           os::NewFileUse::kOutput, &m_cleanup);
  const bool replacing = status.kind == os::PathKind::kRegular;
  if (staging.handle != os::kNoHandle) {
    m_file.Adopt(staging.handle, staging.path);
    m_staging = staging.path;
    m_target = target;
    if (replacing) m_file.SetPermissions(status.permissions);
    return OpenResult::kOk;
  }
  // A folder that refuses new files may still let its files be written. Any other failure (a full
  // disk) would fail the same way halfway through the old file, so the old file is kept.
  if (!replacing || !staging.refused) return OpenResult::kCannotCreate;
  const os::Handle handle = os::OpenExistingForWriting(target, true);
  if (handle == os::kNoHandle) return OpenResult::kCannotCreate;
  m_file.Adopt(handle, target);
  return OpenResult::kOk;
}

void OutputFile::Commit() {
  m_file.Close();
  if (m_staging.empty()) return;
  if (!os::RenameOver(m_staging, m_target)) throw FileError("replace", m_target, os::LastErrorText());
  m_staging.clear();
  m_cleanup.Disarm();
}
