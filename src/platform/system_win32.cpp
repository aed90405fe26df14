#include "platform/system.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/errors.h"
#include "platform/os_error.h"
#include "platform/windows_api.h"

namespace reshape::platform {

namespace {

// The attributes a replaced file hands on to the file that takes its place.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct SearchCloser {
  void operator()(HANDLE search) const { ::FindClose(search); }
};

}  // namespace

bool FindFiles(const std::string& directory, std::span<const std::string_view> masks,
               bool subdirectories, std::vector<DirEntry>& entries) {
  entries.clear();
  // Entries of every kind are taken (the attribute filter 63: read-only, hidden, system,
  // volume, directory, archive). The mask is applied here rather than by the system, which
  // would also match it against short 8.3 names ("*.PAS" would find "a.pasx" as "A~1.PAS").
  WIN32_FIND_DATAA data{};
  HANDLE first = ::FindFirstFileA((directory + "*").c_str(), &data);
  if (first == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  std::unique_ptr<void, SearchCloser> search(first);
  do {
    std::string_view name = data.cFileName;
    if (name == "." || name == "..") continue;
    const DWORD attributes = data.dwFileAttributes;
    // A junction or directory link is a reparse point; following it could loop.
    if (subdirectories && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        entries.push_back({std::string(name), false, true, {}, 0});
      continue;
    }
    const std::uint8_t matched = MatchingMasks(name, masks);
    if (matched == 0) continue;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    entries.push_back({std::string(name), readOnly, false, {}, matched});
  } while (::FindNextFileA(first, &data));
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return ListedBefore(a.Name, b.Name); });
  return true;
}

int ReplaceFile(const std::string& source, const std::string& target) {
  DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return LastErrorCode();
    return ::MoveFileExA(source.c_str(), target.c_str(), 0) ? 0 : LastErrorCode();
  }
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return kAccessDenied;

  // A file that any other process has open is not replaced under it: opening it with no
  // sharing fails then with a sharing violation.
  int code = 0;
  {
    HANDLE probe = ::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
      code = LastErrorCode();
    else
      ::CloseHandle(probe);
  }
  DWORD kept = attributes & kKeptAttributes;
  if (code == 0 && !::SetFileAttributesA(source.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL))
    code = LastErrorCode();
  if (code == 0 && !::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
    code = LastErrorCode();
  return code;
}

// Links are left to the system here: every name is its own file.
FileTarget TargetOf(const std::string& name) { return {name, {}}; }

int DeleteFile(const std::string& name) {
  return ::DeleteFileA(name.c_str()) ? 0 : LastErrorCode();
}

int LinkFile(const std::string& existing, const std::string& link) {
  return ::CreateHardLinkA(link.c_str(), existing.c_str(), nullptr) ? 0 : LastErrorCode();
}

DirectoryLock::~DirectoryLock() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

int DirectoryLock::Acquire(const std::string& directory) {
  // A directory handle that kept other runs out would also keep this run from listing the
  // directory and renaming files in it, so runs meet at a named mutex instead: one per
  // directory, named after its volume and file index, whatever path leads to it.
  HANDLE opened = ::CreateFileA(directory.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  BOOL known = ::GetFileInformationByHandle(opened, &info);
  ::CloseHandle(opened);
  if (!known) return 0;

  char name[80];
  std::snprintf(name, sizeof name, "Global\\reshape-run-%08lX-%08lX%08lX",
                info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name);
  DWORD error = ::GetLastError();
  // A mutex that exists belongs to a run in progress; one made by another user may not even
  // be opened.
  if (mutex == nullptr) return error == ERROR_ACCESS_DENIED ? kSharingViolation : 0;
  if (error == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return kSharingViolation;
  }
  handle_ = reinterpret_cast<std::intptr_t>(mutex);
  return 0;
}

std::string DirectoryOf(std::string_view path) {
  std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? std::string()
                                             : std::string(path.substr(0, separator + 1));
}

std::string ExecutablePath(const char*) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "reshape.exe";
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

namespace {

int WriteAll(DWORD stream, std::string_view bytes) {
  // Nothing is buffered on the way: each write reaches the console or pipe at once.
  HANDLE output = ::GetStdHandle(stream);
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(output, bytes.data(), chunk, &written, nullptr)) return LastErrorCode();
    if (written == 0) return kDiskFull;
    bytes.remove_prefix(written);
  }
  return 0;
}

}  // namespace

int WriteStandardOutput(std::string_view bytes) { return WriteAll(STD_OUTPUT_HANDLE, bytes); }

bool StandardOutputIsTerminal() {
  return ::GetFileType(::GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR;
}

std::string TemporaryDirectory() {
  char path[MAX_PATH + 1];
  DWORD length = ::GetTempPathA(sizeof path, path);
  if (length == 0 || length > MAX_PATH) return ".\\";
  return std::string(path, length);
}

unsigned long ProcessId() { return ::GetCurrentProcessId(); }
int WriteStandardError(std::string_view bytes) { return WriteAll(STD_ERROR_HANDLE, bytes); }

CodePage SystemCodePage() { return CodePage(static_cast<int>(::GetACP())); }

}  // namespace reshape::platform
