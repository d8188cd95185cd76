#pragma once

#include <optional>
#include <string>

#include "platform/BinaryFile.h"
#include "platform/InterruptCleanup.h"

namespace platform {

// The file that a script is written to. A regular file, or a name where nothing is yet, is replaced
// whole or not at all: the text goes to a new file created exclusively in the same folder, which
// Commit renames over the output once it is complete; on every other way out the new file is
// removed and the output is as it was. A replaced file keeps its permission bits; one the caller may
// not write is refused. What else may be at the name depends on whose name it is (Naming).
class OutputFile {
 public:
  enum class Naming {
    // A name the user chose: a symbolic link has its target replaced; what is no regular file (a
    // device, a FIFO, a terminal) is written directly, and so is a writable output in a folder that
    // takes no new file.
    kUsersChoice,
    // A name the program made up in a folder: only a regular file there is replaced, and only by
    // rename; anything else (a link, a FIFO, a device, a folder) is left alone and refused.
    kOwn,
  };

  enum class OpenResult {
    kOk,
    kCannotCreate,     // Problem says why
    kIsProtectedFile,  // the output is the file that must not be written, under whichever name
    kReadOnly,         // the output exists and the caller may not write it
  };

  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Nothing at the path is changed before Commit. `protectedFile` is a file the output must not be
  // (the recorded game being read), also through a symbolic or hard link.
  OpenResult Create(const std::string& path, const std::optional<os::FileIdentity>& protectedFile,
                    Naming naming = Naming::kUsersChoice);
  // Why Create gave kCannotCreate: the system's error, or what is at the name.
  const std::string& Problem() const { return m_problem; }
  BinaryFile& File() { return m_file; }
  // Closes the file and puts it in place of the output; throws FileError when either fails, and the
  // output is then as it was.
  void Commit();

 private:
  OpenResult CreateBeside(const std::string& target, const os::PathStatus& status, Naming naming);
  OpenResult Refuse(std::string problem);

  BinaryFile m_file;
  std::string m_target;   // the file that Commit replaces
  std::string m_staging;  // the new file, until Commit renames it; empty when written directly
  std::string m_problem;
  InterruptCleanup m_cleanup;
};

}  // namespace platform
