#pragma once

#include <optional>
#include <string>

#include "platform/BinaryFile.h"
#include "platform/InterruptCleanup.h"

// The file that a script is written to, at the path the user named. A regular file, or a name where
// nothing is yet, is replaced whole or not at all: the text goes to a new file created exclusively
// in the same folder, which Commit renames over the output once it is complete; on every other way
// out the new file is removed and the output is as it was. A symbolic link has its target replaced,
// and a replaced file keeps its permission bits. What is no regular file (a device, a FIFO, a
// terminal) is written directly, and so is a writable output in a folder that takes no new file.
class OutputFile {
 public:
  enum class OpenResult {
    kOk,
    kCannotCreate,
    kIsProtectedFile,  // the output is the file that must not be written, under whichever name
  };

  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Nothing at the path is changed before Commit. `protectedFile` is a file the output must not be
  // (the recorded game being read), also through a symbolic or hard link.
  OpenResult Create(const std::string& path, const std::optional<os::FileIdentity>& protectedFile);
  BinaryFile& File() { return m_file; }
  // Closes the file and puts it in place of the output; throws FileError when either fails, and the
  // output is then as it was.
  void Commit();

 private:
  OpenResult CreateBeside(const std::string& target, const os::PathStatus& status);

  BinaryFile m_file;
  std::string m_target;   // the file that Commit replaces
  std::string m_staging;  // the new file, until Commit renames it; empty when written directly
  InterruptCleanup m_cleanup;
};
