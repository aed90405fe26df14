// The file system of the operating system the program runs on, as the run uses it.
#pragma once

#include "platform/file_system.h"

namespace reshape::platform {

class SystemFileSystem final : public FileSystem {
 public:
  bool List(const std::string& directory, std::span<const std::string_view> masks,
            bool subdirectories, std::vector<DirEntry>& entries) override;
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override;
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>& held) override;
  int ReplaceFile(const std::string& source, const std::string& target) override;
  int DeleteFile(const std::string& name) override;
  int LinkFile(const std::string& existing, const std::string& link) override;
  FileTarget Target(const std::string& name) override;
  int AppendToTextFile(const std::string& name, const std::string& from, std::string_view bytes,
                       std::int64_t& end) override;
  int AppendToFile(const std::string& name, std::string_view bytes) override;
  int TruncateFile(const std::string& name, std::int64_t size) override;
  int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) override;
};

}  // namespace reshape::platform
