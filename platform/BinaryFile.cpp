#include "platform/BinaryFile.h"

#include "platform/FileError.h"

namespace platform {

BinaryFile::~BinaryFile() { Release(); }

bool BinaryFile::OpenForReading(const std::string& path) {
  Release();
  const os::Handle handle = os::OpenRegularForReading(path);
  if (handle == os::kNoHandle) return false;
  Adopt(handle, path);
  return true;
}

void BinaryFile::Adopt(os::Handle handle, std::string path) {
  Release();
  m_handle = handle;
  m_ownsHandle = true;
  m_path = std::move(path);
}

void BinaryFile::AttachStandardOutput() {
  Release();
  m_handle = os::StandardOutput();
  m_ownsHandle = false;
  m_path = "standard output";
}

size_t BinaryFile::Read(std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const int64_t got = os::ReadSome(m_handle, buffer.subspan(total));
    if (got < 0) Fail("read");
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return total;
}

void BinaryFile::Write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const int64_t written = os::WriteSome(m_handle, bytes);
    if (written <= 0) Fail("write");
    bytes = bytes.subspan(static_cast<size_t>(written));
  }
}

void BinaryFile::Seek(int64_t offset, SeekOrigin origin) {
  if (!os::Seek(m_handle, offset, origin == SeekOrigin::kBegin)) Fail("seek in");
}

uint64_t BinaryFile::GetLength() const {
  const std::optional<uint64_t> length = os::LengthOf(m_handle);
  if (!length) Fail("read the length of");
  return *length;
}

os::FileIdentity BinaryFile::Identity() const {
  const std::optional<os::FileIdentity> identity = os::IdentityOf(m_handle);
  if (!identity) Fail("identify");
  return *identity;
}

void BinaryFile::SetPermissions(uint32_t permissions) {
  if (!os::SetPermissions(m_handle, permissions)) Fail("set the permissions of");
}

void BinaryFile::Close() {
  if (!Release()) Fail("close");
}

bool BinaryFile::Release() noexcept {
  if (m_handle == os::kNoHandle) return true;
  const bool closed = !m_ownsHandle || os::Close(m_handle);
  m_handle = os::kNoHandle;
  m_ownsHandle = false;
  return closed;
}

void BinaryFile::Fail(const char* operation) const {
  throw FileError(operation, m_path, os::LastErrorText());
}

}  // namespace platform
