#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/OsFile.h"

namespace platform {

// An open file and the path that names it in messages. Opening reports failure through its result;
// once the file is open, every failed read, write, seek or close throws FileError, so no half-done
// file operation can pass for success. The destructor closes the file quietly.
class BinaryFile {
 public:
  enum class SeekOrigin { kBegin, kCurrent };

  BinaryFile() = default;
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // An existing regular file, for reading; false, with the file closed, when it cannot be opened.
  bool OpenForReading(const std::string& path);
  // Takes over an open handle; `path` names the file in messages.
  void Adopt(os::Handle handle, std::string path);
  // Writes go to the process's standard output, which Close leaves open.
  void AttachStandardOutput();
  bool IsOpen() const { return m_handle != os::kNoHandle; }
  const std::string& Path() const { return m_path; }

  // Fills the buffer; returns fewer bytes only when the end of the file comes first.
  size_t Read(std::span<uint8_t> buffer);
  void Write(std::span<const uint8_t> bytes);
  void Seek(int64_t offset, SeekOrigin origin);
  uint64_t GetLength() const;
  os::FileIdentity Identity() const;
  void SetPermissions(uint32_t permissions);
  void Close();

 private:
  // Releases the handle; false when the operating system reported a failure.
  bool Release() noexcept;
  [[noreturn]] void Fail(const char* operation) const;

  os::Handle m_handle = os::kNoHandle;
  bool m_ownsHandle = false;
  std::string m_path;
};

}  // namespace platform
