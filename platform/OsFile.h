#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The operating system's own file calls, each as thin as the system allows: OsFile_posix.cpp and
// OsFile_win32.cpp hold their two versions. Every decision above them (what is created where, what
// a failure means, what is reported) lives once, in the classes of this folder. A call that fails
// returns its failure value and leaves the system's error for LastErrorText.
namespace os {

#ifdef _WIN32
using Handle = void*;
inline const Handle kNoHandle = reinterpret_cast<Handle>(-1);
#else
using Handle = int;
inline constexpr Handle kNoHandle = -1;
#endif

// What makes a file itself, whichever name reaches it: its links and other names share it.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;

  bool operator==(const FileIdentity&) const = default;
};

enum class PathKind { kMissing, kRegular, kDirectory, kOther };

// A path as the system sees it, its links followed.
struct PathStatus {
  PathKind kind = PathKind::kMissing;
  bool isLink = false;       // the name itself is a symbolic link; the rest describes its target
  FileIdentity identity;     // of the file the path leads to, when there is one
  uint32_t permissions = 0;  // the read, write and execute bits, where the system has them
};
PathStatus StatusOf(const std::string& path);

// Whether the caller may not write the existing file at the path: POSIX, the effective user has no
// write permission (or the file system is read-only); Windows, the file has the read-only attribute.
bool IsReadOnly(const std::string& path);

// The path of the file that a chain of symbolic links leads to; nothing when it leads nowhere.
std::optional<std::string> ResolveLinks(const std::string& path);

// An existing regular file, for reading. A folder, a device or a FIFO does not open, and opening
// never waits.
Handle OpenRegularForReading(const std::string& path);
// An existing file of any kind, for writing; nothing is created.
Handle OpenExistingForWriting(const std::string& path, bool truncate);

enum class NewFileUse {
  kScratch,  // read and write, for the owner alone, and gone from its folder at once
  kOutput,   // write, with the permissions a new file gets; may be deleted while it is open
};
// Creates a file where nothing exists; never opens, follows, truncates or deletes what is there.
Handle CreateNewFile(const std::string& path, NewFileUse use);
// A scratch file in the folder that never has a name (Linux: O_TMPFILE); fails where the system or
// the folder's file system cannot make one, and then CreateNewFile is the way.
Handle CreateUnnamedScratchFile(const std::string& folder);
// After a failed CreateNewFile: whether the name was taken, or whether the folder refused.
bool FailedBecauseItExists();
bool FailedForLackOfPermission();

Handle StandardOutput();

// The number of bytes moved, 0 at the end of the file, negative on failure.
int64_t ReadSome(Handle handle, std::span<uint8_t> buffer);
int64_t WriteSome(Handle handle, std::span<const uint8_t> bytes);
bool Seek(Handle handle, int64_t offset, bool fromStart);
std::optional<uint64_t> LengthOf(Handle handle);
std::optional<FileIdentity> IdentityOf(Handle handle);
// Gives the file the permission bits, where the system has them.
bool SetPermissions(Handle handle, uint32_t permissions);
bool Close(Handle handle);

bool RemoveFile(const std::string& path);
// Renames the file over `to` in one step: `to` is either the old file or the new one, never neither.
bool RenameOver(const std::string& from, const std::string& to);

// Calls `cleanUp` when the user interrupts the program or a signal would end it (POSIX: every signal
// whose default action ends the process, but those that cannot be caught and those that report a
// fault of the program itself), then lets the program end as the signal would have ended it. A
// signal the program was started to ignore stays ignored. `cleanUp` may make only the calls a
// signal handler may make.
void OnInterrupt(void (*cleanUp)());
// RemoveFile as a signal handler may call it.
void RemoveFileNow(const char* path);

// The folder for temporary files, ending in a path separator.
std::string TemporaryFolder();
bool IsPathSeparator(char c);
constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

std::string LastErrorText();

}  // namespace os
