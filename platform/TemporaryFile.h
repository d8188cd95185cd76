#pragma once

#include <string>

#include "platform/BinaryFile.h"

namespace platform {

// A scratch file for reading and writing that no one else can meet and nothing outlives. It is
// created new and exclusively (never opened, followed, truncated or deleted where something already
// is) and has no name from the moment it exists: on Linux it is made without one (O_TMPFILE) where
// the file system can; elsewhere POSIX removes the name at once and the open file lives on; Windows
// deletes the file when its handle closes, also when the process is killed.
class TemporaryFile {
 public:
  // Creates the file in the folder of `besidePath`, without a name or as "<besidePath>.tmp", or as
  // "<besidePath>.<unique>.tmp" when that name is taken; where the folder cannot take it (read-only,
  // no permission, name too long), in the system's temporary folder, without a name or as
  // "velkorin-<unique>.tmp". False when both fail; FailureText then names each file tried and the
  // system's error for it.
  bool Create(const std::string& besidePath);
  BinaryFile& File() { return m_file; }
  const std::string& FailureText() const { return m_failure; }

 private:
  BinaryFile m_file;
  std::string m_failure;
};

}  // namespace platform
