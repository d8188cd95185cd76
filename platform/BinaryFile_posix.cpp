#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"

std::string LastOsErrorText() { return std::strerror(errno); }

namespace {

int OpenFlags(BinaryFile::Mode mode) {
  switch (mode) {
    case BinaryFile::Mode::kRead:
      // Non-blocking so that opening a FIFO cannot hang; regular files ignore the flag.
      return O_RDONLY | O_NONBLOCK;
    case BinaryFile::Mode::kCreateReadWrite:
      return O_RDWR | O_CREAT | O_TRUNC;
    case BinaryFile::Mode::kCreateWrite:
      return O_WRONLY | O_CREAT | O_TRUNC;
  }
  return O_RDONLY;
}

bool IsRegularFile(int fd) {
  struct stat status {};
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

BinaryFile::BinaryFile() = default;

BinaryFile::~BinaryFile() { Release(); }

bool BinaryFile::Open(const std::string& path, Mode mode) {
  Release();
  const int fd = ::open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // As on Windows, only a plain file opens as a recorded game: a folder or a device does not.
  if (mode == Mode::kRead && !IsRegularFile(fd)) {
    ::close(fd);
    errno = EISDIR;
    return false;
  }
  m_handle = fd;
  m_bOwnsHandle = true;
  m_strPath = path;
  return true;
}

void BinaryFile::AttachStandardOutput() {
  Release();
  m_handle = STDOUT_FILENO;
  m_bOwnsHandle = false;
  m_strPath = "standard output";
}

size_t BinaryFile::Read(std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const std::span<uint8_t> rest = buffer.subspan(total);
    const ssize_t n = ::read(m_handle, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("read");
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  return total;
}

void BinaryFile::Write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(m_handle, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("write");
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
}

void BinaryFile::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : SEEK_CUR;
  if (::lseek(m_handle, static_cast<off_t>(offset), whence) < 0) Fail("seek in");
}

uint64_t BinaryFile::GetLength() const {
  struct stat status {};
  if (fstat(m_handle, &status) != 0) Fail("read the length of");
  return static_cast<uint64_t>(status.st_size);
}

void BinaryFile::Close() {
  if (!Release()) Fail("close");
}

bool BinaryFile::Release() noexcept {
  if (m_handle == kNoHandle) return true;
  const bool closed = !m_bOwnsHandle || ::close(m_handle) == 0;
  m_handle = kNoHandle;
  m_bOwnsHandle = false;
  return closed;
}

void BinaryFile::Fail(const char* operation) const {
  throw FileError(operation, m_strPath, LastOsErrorText());
}

void BinaryFile::Remove(const std::string& path) {
  if (::unlink(path.c_str()) != 0) throw FileError("delete", path, LastOsErrorText());
}
