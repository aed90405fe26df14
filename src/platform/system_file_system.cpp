#include "platform/system_file_system.h"

#include <cstring>

#include "base/bytes.h"
#include "platform/file.h"
#include "platform/system.h"

namespace reshape::platform {

namespace {

constexpr std::int64_t kLogTailLength = 128;
constexpr std::size_t kCopyPieceLength = std::size_t{1} << 20;

class HeldFile final : public Held {
 public:
  explicit HeldFile(File file) : file_(std::move(file)) {}
  int Release() override { return file_.Close(); }

 private:
  File file_;
};

class HeldDirectory final : public Held {
 public:
  int Acquire(const std::string& directory) { return lock_->Acquire(directory); }
  int Release() override {
    lock_.reset();
    return 0;
  }

 private:
  std::unique_ptr<DirectoryLock> lock_ = std::make_unique<DirectoryLock>();
};

// Opens a text file for an append and finds where the append goes: its end, or an end-of-text
// byte among its last bytes, where the file is cut off first.
int OpenTextForAppend(const std::string& name, File& log, std::int64_t& end) {
  // The size comes with the open; the tail is read and the bytes written at their offsets.
  if (int code = log.Open(name, Access::ReadWrite, Share::DenyWrite, Disposition::OpenAlways))
    return code;
  std::int64_t size = log.OpenedSize();
  if (size > 0) {
    std::int64_t tailStart = size > kLogTailLength ? size - kLogTailLength : 0;
    char tail[kLogTailLength];
    std::size_t got = 0;
    if (int code = log.ReadAt(tailStart, tail, static_cast<std::size_t>(size - tailStart), got))
      return code;
    if (const void* eot = std::memchr(tail, kEndOfText, got)) {
      size = tailStart + (static_cast<const char*>(eot) - tail);
      if (int code = log.Truncate(size)) return code;
    }
  }
  end = size;
  return 0;
}

// Copies the whole file `from` to `to` at offset `at` on, a piece at a time; `at` ends behind.
int CopyFileInto(const std::string& from, File& to, std::int64_t& at) {
  File source;
  if (int code = source.Open(from, Access::Read, Share::DenyWrite, Disposition::OpenExisting))
    return code;
  std::string buffer(kCopyPieceLength, '\0');
  for (std::int64_t read = 0;;) {
    std::size_t got = 0;
    if (int code = source.ReadAt(read, buffer.data(), buffer.size(), got)) return code;
    if (got == 0) return source.Close();
    if (int code = to.WriteAt(at, buffer.data(), got)) return code;
    read += static_cast<std::int64_t>(got);
    at += static_cast<std::int64_t>(got);
  }
}

}  // namespace

bool SystemFileSystem::List(const std::string& directory, std::span<const std::string_view> masks,
                            bool subdirectories, std::vector<DirEntry>& entries) {
  return FindFiles(directory, masks, subdirectories, entries);
}

IoResult SystemFileSystem::ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) {
  File file;
  int code = purpose == ReadFor::Reading
                 ? file.Open(name, Access::Read, Share::DenyWrite, Disposition::OpenExisting)
                 : file.Open(name, Access::ReadWrite, Share::Exclusive, Disposition::OpenExisting);
  if (code != 0) return {code, false};
  const bool ownName = file.OpenedOwnName();
  if (int failed = file.ReadAll(bytes)) return {failed, true, ownName};
  return {file.Close(), true, ownName};
}

IoResult SystemFileSystem::WriteFile(const std::string& name, std::string_view bytes,
                                     std::unique_ptr<Held>& held) {
  // Write alone: on Windows a scratch file held open may then still be renamed into place.
  File file;
  if (int code = file.Open(name, Access::Write, Share::Exclusive, Disposition::CreateAlways))
    return {code, false};
  int code = file.WriteAt(0, bytes.data(), bytes.size());
  held = std::make_unique<HeldFile>(std::move(file));
  return {code, true};
}

int SystemFileSystem::ReplaceFile(const std::string& source, const std::string& target) {
  return platform::ReplaceFile(source, target);
}

int SystemFileSystem::DeleteFile(const std::string& name) { return platform::DeleteFile(name); }

int SystemFileSystem::LinkFile(const std::string& existing, const std::string& link) {
  return platform::LinkFile(existing, link);
}

FileTarget SystemFileSystem::Target(const std::string& name) { return TargetOf(name); }

int SystemFileSystem::AppendToTextFile(const std::string& name, const std::string& from,
                                       std::string_view bytes, std::int64_t& end) {
  File log;
  if (int code = OpenTextForAppend(name, log, end)) return code;
  std::int64_t at = end;
  int code = from.empty() ? 0 : CopyFileInto(from, log, at);
  if (code == 0) code = log.WriteAt(at, bytes.data(), bytes.size());
  if (code != 0) {
    log.Truncate(end);
    return code;
  }
  return log.Close();
}

int SystemFileSystem::AppendToFile(const std::string& name, std::string_view bytes) {
  File file;
  if (int code = file.Open(name, Access::Write, Share::Exclusive, Disposition::OpenAlways))
    return code;
  if (int code = file.WriteAt(file.OpenedSize(), bytes.data(), bytes.size())) return code;
  return file.Close();
}

int SystemFileSystem::TruncateFile(const std::string& name, std::int64_t size) {
  File log;
  if (int code = log.Open(name, Access::ReadWrite, Share::DenyWrite, Disposition::OpenExisting))
    return code;
  if (int code = log.Truncate(size)) return code;
  return log.Close();
}

int SystemFileSystem::LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) {
  auto held = std::make_unique<HeldDirectory>();
  if (int code = held->Acquire(directory)) return code;
  lock = std::move(held);
  return 0;
}

}  // namespace reshape::platform
