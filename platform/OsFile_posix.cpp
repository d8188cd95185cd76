#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "platform/OsFile.h"

namespace os {
namespace {

// Retries a call that a signal interrupted before it moved anything.
template <class Call>
auto RetryOnInterrupt(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

FileIdentity IdentityFrom(const struct stat& status) {
  return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

PathKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return PathKind::kRegular;
  if (S_ISDIR(mode)) return PathKind::kDirectory;
  return PathKind::kOther;
}

}  // namespace

PathStatus StatusOf(const std::string& path) {
  PathStatus result;
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return result;
  result.isLink = S_ISLNK(status.st_mode);
  if (result.isLink && ::stat(path.c_str(), &status) != 0) return result;
  result.kind = KindOf(status.st_mode);
  result.identity = IdentityFrom(status);
  // Not the set-user and set-group bits: a new text under them would run with the old owner's rights.
  result.permissions = static_cast<uint32_t>(status.st_mode & 0777);
  return result;
}

bool IsReadOnly(const std::string& path) {
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return false;
  return errno == EACCES || errno == EPERM || errno == EROFS;
}

std::optional<std::string> ResolveLinks(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

Handle OpenRegularForReading(const std::string& path) {
  // Non-blocking, so that opening a FIFO cannot wait for a writer; regular files ignore the flag.
  const int fd = RetryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) return kNoHandle;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const int error = S_ISDIR(status.st_mode) ? EISDIR : ENODEV;
    ::close(fd);
    errno = error;
    return kNoHandle;
  }
  return fd;
}

Handle OpenExistingForWriting(const std::string& path, bool truncate) {
  const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (truncate ? O_TRUNC : 0);
  return RetryOnInterrupt([&] { return ::open(path.c_str(), flags); });
}

Handle CreateNewFile(const std::string& path, NewFileUse use) {
  const bool scratch = use == NewFileUse::kScratch;
  const int flags = (scratch ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  const int fd = RetryOnInterrupt([&] { return ::open(path.c_str(), flags, scratch ? 0600 : 0666); });
  // The open descriptor keeps a scratch file; without a name nothing can leave it behind.
  if (fd >= 0 && scratch && ::unlink(path.c_str()) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return kNoHandle;
  }
  return fd;
}

Handle CreateUnnamedScratchFile(const std::string& folder) {
#ifdef O_TMPFILE
  // O_EXCL: nor can the file be given a name later, through /proc or a descriptor passed on.
  return RetryOnInterrupt([&] { return ::open(folder.c_str(), O_TMPFILE | O_EXCL | O_RDWR | O_CLOEXEC, 0600); });
#else
  errno = EOPNOTSUPP;
  return kNoHandle;
#endif
}

bool FailedBecauseItExists() { return errno == EEXIST; }

bool FailedForLackOfPermission() { return errno == EACCES || errno == EPERM; }

Handle StandardOutput() { return STDOUT_FILENO; }

int64_t ReadSome(Handle handle, std::span<uint8_t> buffer) {
  return RetryOnInterrupt([&] { return ::read(handle, buffer.data(), buffer.size()); });
}

int64_t WriteSome(Handle handle, std::span<const uint8_t> bytes) {
  return RetryOnInterrupt([&] { return ::write(handle, bytes.data(), bytes.size()); });
}

bool Seek(Handle handle, int64_t offset, bool fromStart) {
  return ::lseek(handle, static_cast<off_t>(offset), fromStart ? SEEK_SET : SEEK_CUR) >= 0;
}

std::optional<uint64_t> LengthOf(Handle handle) {
  struct stat status {};
  if (::fstat(handle, &status) != 0) return std::nullopt;
  return static_cast<uint64_t>(status.st_size);
}

std::optional<FileIdentity> IdentityOf(Handle handle) {
  struct stat status {};
  if (::fstat(handle, &status) != 0) return std::nullopt;
  return IdentityFrom(status);
}

bool SetPermissions(Handle handle, uint32_t permissions) {
  return ::fchmod(handle, static_cast<mode_t>(permissions)) == 0;
}

bool Close(Handle handle) { return ::close(handle) == 0; }

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RenameOver(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }

namespace {

void (*g_cleanUp)() = nullptr;

void OnSignal(int signal) {
  g_cleanUp();
  // The handler was reset to the default action as it was called; raised again, the signal ends
  // the process once this handler returns, with the status the caller expects of it.
  std::raise(signal);
}

// The signals whose default action ends the process and that a handler may catch, as GNU sort
// cleans up for: the user's (SIGINT, SIGQUIT, SIGHUP, SIGTERM), a reader gone (SIGPIPE), timers and
// limits (SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ) and SIGPOLL. Those that report a fault of
// the program (SIGSEGV, SIGBUS, ...) are left alone: after such a fault nothing is safe to do.
constexpr int kEndingSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
#ifdef SIGPOLL
    SIGPOLL,
#endif
};

}  // namespace

void OnInterrupt(void (*cleanUp)()) {
  g_cleanUp = cleanUp;
  for (const int signal : kEndingSignals) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    // One cleanup at a time: another of these signals waits until this one has ended the run.
    sigemptyset(&action.sa_mask);
    for (const int other : kEndingSignals) sigaddset(&action.sa_mask, other);
    struct sigaction previous {};
    // A signal the caller chose to ignore (nohup, a background job) stays ignored.
    if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

void RemoveFileNow(const char* path) { ::unlink(path); }

std::string TemporaryFolder() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

bool IsPathSeparator(char c) { return c == '/'; }

std::string LastErrorText() { return std::generic_category().message(errno); }

}  // namespace os
