#include "platform/OutputFile.h"

#include "platform/FileError.h"
#include "platform/NewFile.h"

namespace platform {

OutputFile::~OutputFile() {
  if (m_staging.empty()) return;
  // Only reached on a path that is already failing, whose own error is the one to report.
  os::RemoveFile(m_staging);
}

OutputFile::OpenResult OutputFile::Create(const std::string& path, const std::optional<os::FileIdentity>& protectedFile,
                                          Naming naming) {
  const os::PathStatus status = os::StatusOf(path);
  const bool exists = status.kind != os::PathKind::kMissing;
  if (exists && protectedFile && status.identity == *protectedFile) return OpenResult::kIsProtectedFile;
  if (status.kind == os::PathKind::kDirectory) return Refuse("it is a folder");

  if (naming == Naming::kOwn) {
    // Looked at, never opened: the new file is renamed over the name, which replaces a link or a
    // FIFO put there meanwhile instead of writing through it.
    if (status.isLink) return Refuse(exists ? "it is a symbolic link" : "it is a symbolic link that leads nowhere");
    if (status.kind == os::PathKind::kOther) return Refuse("it is not a regular file");
    if (exists && os::IsReadOnly(path)) return OpenResult::kReadOnly;
    return CreateBeside(path, status, naming);
  }
  if (status.kind == os::PathKind::kOther) {
    const os::Handle handle = os::OpenExistingForWriting(path, false);
    if (handle == os::kNoHandle) return Refuse(os::LastErrorText());
    m_file.Adopt(handle, path);
    return OpenResult::kOk;
  }
  // A link that leads nowhere is not followed: a planted link would choose where the text goes.
  const std::optional<std::string> target = !status.isLink ? path : exists ? os::ResolveLinks(path) : std::nullopt;
  if (!target) return Refuse("it is a symbolic link that leads nowhere");
  if (exists && os::IsReadOnly(*target)) return OpenResult::kReadOnly;
  return CreateBeside(*target, status, naming);
}

OutputFile::OpenResult OutputFile::CreateBeside(const std::string& target, const os::PathStatus& status,
                                                Naming naming) {
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
  // A folder that refuses new files may still let the user's own output be written. Any other
  // failure (a full disk) would fail the same way halfway through the old file, so the old file is kept.
  if (!replacing || !staging.refused || naming == Naming::kOwn) return Refuse(staging.error);
  const os::Handle handle = os::OpenExistingForWriting(target, true);
  if (handle == os::kNoHandle) return Refuse(os::LastErrorText());
  m_file.Adopt(handle, target);
  return OpenResult::kOk;
}

OutputFile::OpenResult OutputFile::Refuse(std::string problem) {
  m_problem = std::move(problem);
  return OpenResult::kCannotCreate;
}

void OutputFile::Commit() {
  m_file.Close();
  if (m_staging.empty()) return;
  if (!os::RenameOver(m_staging, m_target)) throw FileError("replace", m_target, os::LastErrorText());
  m_staging.clear();
  m_cleanup.Disarm();
}

}  // namespace platform
