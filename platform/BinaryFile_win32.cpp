#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstdint>

#include "platform/BinaryFile.h"
#include "platform/FileError.h"

std::string LastOsErrorText() {
  const DWORD error = GetLastError();
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                      0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty()) message = "Windows error " + std::to_string(error);
  return message;
}

namespace {

// The largest piece handed to one ReadFile or WriteFile call, whose sizes are 32-bit.
constexpr size_t kMaxTransfer = 1u << 30;

HANDLE Handle(BinaryFile::NativeHandle handle) { return static_cast<HANDLE>(handle); }

}  // namespace

BinaryFile::BinaryFile() = default;

BinaryFile::~BinaryFile() { Release(); }

bool BinaryFile::Open(const std::string& path, Mode mode) {
  Release();
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  if (mode == Mode::kCreateReadWrite) {
    access = GENERIC_READ | GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
  } else if (mode == Mode::kCreateWrite) {
    access = GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
  }
  HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  // Only a file on disk opens as a recorded game, not a device such as CON or a pipe.
  if (mode == Mode::kRead && GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  m_handle = handle;
  m_bOwnsHandle = true;
  m_strPath = path;
  return true;
}

void BinaryFile::AttachStandardOutput() {
  Release();
  m_handle = reinterpret_cast<NativeHandle>(_get_osfhandle(1));
  m_bOwnsHandle = false;
  m_strPath = "standard output";
}

size_t BinaryFile::Read(std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const std::span<uint8_t> rest = buffer.subspan(total);
    DWORD got = 0;
    if (!ReadFile(Handle(m_handle), rest.data(), static_cast<DWORD>(std::min(rest.size(), kMaxTransfer)), &got,
                  nullptr)) {
      Fail("read");
    }
    if (got == 0) break;
    total += got;
  }
  return total;
}

void BinaryFile::Write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(Handle(m_handle), bytes.data(), static_cast<DWORD>(std::min(bytes.size(), kMaxTransfer)),
                   &written, nullptr) ||
        written == 0) {
      Fail("write");
    }
    bytes = bytes.subspan(written);
  }
}

void BinaryFile::Seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  const DWORD method = origin == SeekOrigin::kBegin ? FILE_BEGIN : FILE_CURRENT;
  if (!SetFilePointerEx(Handle(m_handle), distance, nullptr, method)) Fail("seek in");
}

uint64_t BinaryFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Handle(m_handle), &size)) Fail("read the length of");
  return static_cast<uint64_t>(size.QuadPart);
}

void BinaryFile::Close() {
  if (!Release()) Fail("close");
}

bool BinaryFile::Release() noexcept {
  if (m_handle == kNoHandle) return true;
  const bool closed = !m_bOwnsHandle || CloseHandle(Handle(m_handle));
  m_handle = kNoHandle;
  m_bOwnsHandle = false;
  return closed;
}

void BinaryFile::Fail(const char* operation) const {
  throw FileError(operation, m_strPath, LastOsErrorText());
}

void BinaryFile::Remove(const std::string& path) {
  if (!DeleteFileA(path.c_str())) throw FileError("delete", path, LastOsErrorText());
}
