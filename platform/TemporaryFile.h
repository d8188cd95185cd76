#pragma once

#include <string>

#include "platform/BinaryFile.h"

// A scratch file, created for reading and writing, that is deleted on every way out of its scope:
// Remove deletes it and reports failure by throwing; the destructor deletes it quietly, which
// covers the early returns and the exceptions of the code that uses it.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Creates the file, or truncates it when it exists; false when it cannot be created.
  bool Create(const std::string& path);
  BinaryFile& File() { return m_file; }
  // Closes and deletes the file; throws FileError when either fails.
  void Remove();

 private:
  BinaryFile m_file;
  std::string m_strPath;  // empty once the file is deleted, or when none was created
};
