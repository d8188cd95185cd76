#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// A binary file opened by path. Opening reports failure through its result; once the file is open,
// every failed read, write, seek or close throws FileError. The destructor closes the file quietly.
class BinaryFile {
 public:
  enum class Mode {
    kRead,             // an existing regular file; folders and devices do not open
    kCreateReadWrite,  // created, or truncated when it exists
    kCreateWrite,      // created, or truncated when it exists
  };
  enum class SeekOrigin { kBegin, kCurrent };

#ifdef _WIN32
  using NativeHandle = void*;
#else
  using NativeHandle = int;
#endif

  BinaryFile();
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  // False, with the file closed, when the file cannot be opened in that mode.
  bool Open(const std::string& path, Mode mode);
  // Writes go to the process's standard output, which Close leaves open.
  void AttachStandardOutput();
  bool IsOpen() const { return m_handle != kNoHandle; }
  const std::string& Path() const { return m_strPath; }

  // Fills the buffer; returns fewer bytes only when the end of the file comes first.
  size_t Read(std::span<uint8_t> buffer);
  void Write(std::span<const uint8_t> bytes);
  void Seek(int64_t offset, SeekOrigin origin);
  uint64_t GetLength() const;
  void Close();

  // Deletes a closed file; throws FileError when that fails.
  static void Remove(const std::string& path);

 private:
#ifdef _WIN32
  static inline const NativeHandle kNoHandle = reinterpret_cast<NativeHandle>(-1);
#else
  static constexpr NativeHandle kNoHandle = -1;
#endif

  // Releases the handle; false when the operating system reported a failure.
  bool Release() noexcept;
  [[noreturn]] void Fail(const char* operation) const;

  NativeHandle m_handle = kNoHandle;
  bool m_bOwnsHandle = false;
  std::string m_strPath;
};
