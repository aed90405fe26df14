#include "platform/system.h"

#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "base/errors.h"
#include "platform/os_error.h"

namespace reshape::platform {

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
}

}  // namespace

bool FindFiles(const std::string& directory, std::span<const std::string_view> masks,
               bool subdirectories, std::vector<DirEntry>& entries) {
  entries.clear();
  const std::string where = directory.empty() ? "." : directory;
  // A plain descriptor read with getdents64: opendir would first ask for the directory's
  // status, one system call more for every directory of every pass.
  const int at = ::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (at < 0) return false;
  const std::unique_ptr<const int, void (*)(const int*)> closer(&at,
                                                                [](const int* fd) { ::close(*fd); });
  alignas(dirent64) char buffer[32768];
  for (ssize_t got; (got = ::getdents64(at, buffer, sizeof buffer)) > 0;) {
    for (ssize_t offset = 0; offset < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
      offset += entry->d_reclen;
      std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::uint8_t matched = MatchingMasks(name, masks);
      // The kind the directory itself records spares a status call for every entry that is
      // neither matched nor a possible subdirectory.
      const bool maybeDirectory = entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN;
      if (matched == 0 && !(subdirectories && maybeDirectory)) continue;
      DirEntry found{std::string(name), false, false, {}, matched};
      struct stat st{};
      // Asked relative to the open directory, so the kernel does not walk the path again.
      if (subdirectories &&
          (entry->d_type == DT_DIR ||
           (entry->d_type == DT_UNKNOWN &&
            ::fstatat(at, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)))) {
        found.Directory = true;
      } else if (matched == 0) {
        continue;
      } else if (::fstatat(at, entry->d_name, &st, 0) == 0) {
        // A link is read-only when the file it leads to is: that file is the one rewritten.
        found.ReadOnly = (st.st_mode & S_IWUSR) == 0;
        found.Identity = IdentityOf(st);
      }
      entries.push_back(std::move(found));
    }
  }
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return ListedBefore(a.Name, b.Name); });
  return true;
}

int ReplaceFile(const std::string& source, const std::string& target) {
  struct stat st{};
  if (::stat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return LastErrorCode();
    return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : LastErrorCode();
  }
  if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return kAccessDenied;

  // Another process that has the target open holds a lock on it; replacing the file under it
  // would hand that process a stale copy, so the replacement waits for no one and fails.
  int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return LastErrorCode();
  int code = 0;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) code = LastErrorCode();
  // Owner, group and mode are set only where the scratch file's differ from the target's.
  // Owner and group first: changing them may clear the set-id bits that chmod then restores.
  // Only the superuser may give a file away, so a failure here is no failure of the run.
  struct stat made{};
  if (code == 0 && ::stat(source.c_str(), &made) != 0) code = LastErrorCode();
  bool owned = made.st_uid == st.st_uid && made.st_gid == st.st_gid;
  if (code == 0 && !owned && ::chown(source.c_str(), st.st_uid, st.st_gid) != 0) {
  }
  bool sameMode = owned && (made.st_mode & 07777) == (st.st_mode & 07777);
  if (code == 0 && !sameMode && ::chmod(source.c_str(), st.st_mode & 07777) != 0)
    code = LastErrorCode();
  if (code == 0 && ::rename(source.c_str(), target.c_str()) != 0) code = LastErrorCode();
  ::close(fd);
  return code;
}

FileTarget TargetOf(const std::string& name) {
  FileTarget target{name, {}};
  struct stat st{};
  // A name that is no link is its own target, and its lstat already names the file.
  bool found = ::lstat(name.c_str(), &st) == 0;
  if (found && S_ISLNK(st.st_mode)) {
    constexpr int kMaxLinks = 40;  // as the system itself follows them
    for (int hop = 0; hop < kMaxLinks; ++hop) {
      char buffer[4096];
      ssize_t n = ::readlink(target.path.c_str(), buffer, sizeof buffer);
      if (n <= 0 || static_cast<std::size_t>(n) == sizeof buffer) break;
      std::string link(buffer, static_cast<std::size_t>(n));
      target.path = link[0] == '/' ? link : DirectoryOf(target.path) + link;
    }
    found = ::stat(name.c_str(), &st) == 0;
  }
  if (found) target.identity = IdentityOf(st);
  return target;
}

int DeleteFile(const std::string& name) {
  return ::unlink(name.c_str()) == 0 ? 0 : LastErrorCode();
}

int LinkFile(const std::string& existing, const std::string& link) {
  return ::link(existing.c_str(), link.c_str()) == 0 ? 0 : LastErrorCode();
}

DirectoryLock::~DirectoryLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

int DirectoryLock::Acquire(const std::string& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int code = LastErrorCode();
    ::close(fd);
    return code;
  }
  handle_ = fd;
  return 0;
}

std::string DirectoryOf(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExecutablePath(const char* argv0) {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) return std::string(buffer, static_cast<std::size_t>(n));
  std::string path = argv0 != nullptr ? argv0 : "reshape";
  if (path.empty() || path[0] == '/') return path;
  if (char* cwd = ::getcwd(nullptr, 0)) {
    path = std::string(cwd) + "/" + path;
    std::free(cwd);
  }
  return path;
}

namespace {

int WriteAll(int fd, std::string_view bytes) {
  // A closed pipe must be a failure the program reports, not a signal that kills it.
  [[maybe_unused]] static const bool ignored = (std::signal(SIGPIPE, SIG_IGN), true);
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return LastErrorCode();
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace

int WriteStandardOutput(std::string_view bytes) { return WriteAll(STDOUT_FILENO, bytes); }

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

std::string TemporaryDirectory() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = dir && *dir ? dir : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }
int WriteStandardError(std::string_view bytes) { return WriteAll(STDERR_FILENO, bytes); }

CodePage SystemCodePage() {
  // Only the character classification category is taken from the environment; number
  // formatting stays untouched.
  if (std::setlocale(LC_CTYPE, "") == nullptr) return CodePage();
  CodePage page = CodePage::FromCharsetName(::nl_langinfo(CODESET));
  std::setlocale(LC_CTYPE, "C");
  return page;
}

}  // namespace reshape::platform
