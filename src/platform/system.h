// The directory, name and process services of the platform: wildcard search of the current
// directory, atomic replacement of a file, the running executable's location, standard output
// and the system code page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "base/name_match.h"
#include "platform/file_system.h"

namespace reshape::platform {

// What separates directories in the paths the program builds.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// FileSystem::List of the system's file system (see there); a subdirectory is listed whether
// it matches or not.
bool FindFiles(const std::string& directory, std::span<const std::string_view> masks,
               bool subdirectories, std::vector<DirEntry>& entries);

// FileSystem::ReplaceFile of the system's file system (see there).
int ReplaceFile(const std::string& source, const std::string& target);

// The file a name leads to (for a symbolic link, the end of its chain, as a path relative to
// where the name is) and an identity shared by every name of that file, where it is known.
FileTarget TargetOf(const std::string& name);

int DeleteFile(const std::string& name);

// FileSystem::LinkFile of the system's file system (see there).
int LinkFile(const std::string& existing, const std::string& link);

// Held for a whole run over a directory, so that a second run started there at the same time
// fails at once with a sharing violation instead of working on the same files.
class DirectoryLock {
 public:
  DirectoryLock() = default;
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;
  ~DirectoryLock();
  // 0, or 32 when another run holds the directory. A directory that cannot be opened is not
  // locked and not an error: the file locks still keep two runs apart.
  int Acquire(const std::string& directory = ".");

 private:
  // A file descriptor, or a Windows handle; -1 is none on both.
  std::intptr_t handle_ = -1;
};

// The running executable's full path, and its directory with a trailing separator.
std::string ExecutablePath(const char* argv0);
std::string DirectoryOf(std::string_view path);

// Writes all bytes to standard output and flushes it; 0 or the platform error code.
int WriteStandardOutput(std::string_view bytes);
int WriteStandardError(std::string_view bytes);
// True when standard output is a terminal (a console window), where someone reads it live.
bool StandardOutputIsTerminal();

// The directory for the run's temporary files, with a trailing separator, and a number that
// no other process running now has, to make their names unique.
std::string TemporaryDirectory();
unsigned long ProcessId();

// The code page of the user's locale character set.
CodePage SystemCodePage();

}  // namespace reshape::platform
