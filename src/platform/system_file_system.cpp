#include "platform/system_file_system.h"

#include <cstring>

#include "platform/file.h"
#include "platform/system.h"

namespace reshape::platform {

namespace {

constexpr std::int64_t kLogTailLength = 128;
constexpr char kEndOfText = 26;

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

}  // namespace

std::vector<DirEntry> SystemFileSystem::List(std::string_view mask) { return FindFiles(mask); }

IoResult SystemFileSystem::ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) {
  File file;
  int code = purpose == ReadFor::Reading
                 ? file.Open(name, Access::Read, Share::DenyWrite, Disposition::OpenExisting)
                 : file.Open(name, Access::ReadWrite, Share::Exclusive, Disposition::OpenExisting);
  if (code != 0) return {code, false};
  if (int failed = file.ReadAll(bytes)) return {failed, true};
  return {file.Close(), true};
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

FileTarget SystemFileSystem::Target(const std::string& name) { return TargetOf(name); }

int SystemFileSystem::AppendToLog(const std::string& name, std::string_view bytes,
                                  std::int64_t& end) {
  // The size comes with the open; the tail is read and the bytes written at their offsets.
  File log;
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
  if (int code = log.WriteAt(size, bytes.data(), bytes.size())) {
    log.Truncate(size);
    return code;
  }
  return log.Close();
}

int SystemFileSystem::CutLog(const std::string& name, std::int64_t size) {
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
