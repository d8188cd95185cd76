#include <io.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "platform/OsFile.h"
#include "platform/WideText.h"

namespace os {
namespace {

// The largest piece handed to one ReadFile or WriteFile call, whose sizes are 32-bit.
constexpr size_t kMaxTransfer = 1u << 30;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(platform::WideFromUtf8(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
}

// A handle on whatever the path leads to, for reading its attributes only; folders open too.
HANDLE OpenForAttributes(const std::string& path) {
  return Open(path, FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
}

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber, (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

PathStatus StatusOf(const std::string& path) {
  PathStatus result;
  const DWORD attributes = GetFileAttributesW(platform::WideFromUtf8(path).c_str());
  result.isLink = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  const HANDLE handle = OpenForAttributes(path);
  if (handle == INVALID_HANDLE_VALUE) return result;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    result.kind = PathKind::kOther;
  } else if (GetFileInformationByHandle(handle, &info)) {
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    result.kind = folder ? PathKind::kDirectory : PathKind::kRegular;
    result.identity = IdentityFrom(info);
  }
  CloseHandle(handle);
  return result;
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(platform::WideFromUtf8(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::optional<std::string> ResolveLinks(const std::string& path) {
  const HANDLE handle = OpenForAttributes(path);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::array<wchar_t, 32768> buffer{};
  const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(handle);
  if (length == 0 || length >= buffer.size()) return std::nullopt;
  std::wstring_view resolved(buffer.data(), length);
  // The system gives the path in its long form; the short form names the same file.
  if (resolved.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + platform::Utf8FromWide(resolved.substr(8));
  if (resolved.starts_with(L"\\\\?\\")) resolved.remove_prefix(4);
  return platform::Utf8FromWide(resolved);
}

Handle OpenRegularForReading(const std::string& path) {
  const HANDLE handle = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (handle == INVALID_HANDLE_VALUE) return kNoHandle;
  // A device such as CON, or a pipe, is no recorded game.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    SetLastError(ERROR_ACCESS_DENIED);
    return kNoHandle;
  }
  return handle;
}

Handle OpenExistingForWriting(const std::string& path, bool truncate) {
  return Open(path, GENERIC_WRITE, FILE_SHARE_READ, truncate ? TRUNCATE_EXISTING : OPEN_EXISTING,
              FILE_ATTRIBUTE_NORMAL);
}

Handle CreateNewFile(const std::string& path, NewFileUse use) {
  if (use == NewFileUse::kScratch) {
    // Deleted by the system when its one handle closes, also when the process is killed.
    return Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  }
  // Sharing deletion lets an interrupted run delete the file while it is still open.
  return Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
}

// Windows has no file without a name; the scratch file of CreateNewFile is deleted when it closes.
Handle CreateUnnamedScratchFile(const std::string& /*folder*/) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return kNoHandle;
}

bool FailedBecauseItExists() {
  const DWORD error = GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

bool FailedForLackOfPermission() { return GetLastError() == ERROR_ACCESS_DENIED; }

Handle StandardOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }

int64_t ReadSome(Handle handle, std::span<uint8_t> buffer) {
  DWORD got = 0;
  if (!ReadFile(handle, buffer.data(), static_cast<DWORD>(std::min(buffer.size(), kMaxTransfer)), &got, nullptr)) {
    return -1;
  }
  return got;
}

int64_t WriteSome(Handle handle, std::span<const uint8_t> bytes) {
  DWORD written = 0;
  if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(std::min(bytes.size(), kMaxTransfer)), &written,
                 nullptr)) {
    return -1;
  }
  return written;
}

bool Seek(Handle handle, int64_t offset, bool fromStart) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  return SetFilePointerEx(handle, distance, nullptr, fromStart ? FILE_BEGIN : FILE_CURRENT);
}

std::optional<uint64_t> LengthOf(Handle handle) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size)) return std::nullopt;
  return static_cast<uint64_t>(size.QuadPart);
}

std::optional<FileIdentity> IdentityOf(Handle handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return IdentityFrom(info);
}

// Windows keeps a replaced file's access rights with its folder's inheritance, not in bits.
bool SetPermissions(Handle /*handle*/, uint32_t /*permissions*/) { return true; }

bool Close(Handle handle) { return CloseHandle(handle); }

bool RemoveFile(const std::string& path) { return DeleteFileW(platform::WideFromUtf8(path).c_str()); }

bool RenameOver(const std::string& from, const std::string& to) {
  return MoveFileExW(platform::WideFromUtf8(from).c_str(), platform::WideFromUtf8(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING);
}

namespace {

void (*g_cleanUp)() = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) g_cleanUp();
  // Not handled: the system's own handler ends the process as it always does.
  return FALSE;
}

}  // namespace

void OnInterrupt(void (*cleanUp)()) {
  g_cleanUp = cleanUp;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

// The console's handler runs on a thread of its own, where any call may be made.
void RemoveFileNow(const char* path) { DeleteFileW(platform::WideFromUtf8(path).c_str()); }

std::string TemporaryFolder() {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return ".\\";
  return platform::Utf8FromWide(std::wstring_view(buffer.data(), length));
}

// "C:game.mgx" lies in the current folder of drive C:.
bool IsPathSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::string LastErrorText() {
  const DWORD error = GetLastError();
  std::array<wchar_t, 512> text{};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text.data(), static_cast<DWORD>(text.size()), nullptr);
  std::string message = platform::Utf8FromWide(std::wstring_view(text.data(), length));
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  if (message.empty()) message = "Windows error " + std::to_string(error);
  return message;
}

}  // namespace os
