#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A read, write, seek, close or delete that failed on a file that had been opened. The file layer
// throws it instead of returning a code, so no half-done file operation can pass for success.
// It names the file and carries the operating system's own description of the error.
class FileError : public std::runtime_error {
 public:
  FileError(std::string_view operation, const std::string& path, const std::string& osError);

  const std::string& Path() const { return m_path; }
  const std::string& OsError() const { return m_osError; }

 private:
  std::string m_path;
  std::string m_osError;
};

}  // namespace platform
