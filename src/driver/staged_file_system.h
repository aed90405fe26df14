// A file system that holds back every change a run makes: files written, moved into place or
// removed, and lines appended to the log, are kept (in memory, or in scratch files under the
// system's temporary directory once the memory allowance is used up) and read back from there,
// so later passes see what earlier passes produced while the tree stays as it was. Commit then
// puts everything in place, or, when that fails midway, puts back what it had already replaced.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/console.h"
#include "platform/file_system.h"

namespace reshape {

class StagedFileSystem final : public FileSystem {
 public:
  // `scratchPrefix`: the start of the scratch file names, a directory and a prefix unique to
  // this process ("/tmp/reshape-1234-"); beyond `memoryAllowance` bytes, staged bytes go there.
  StagedFileSystem(FileSystem& disk, std::string scratchPrefix, std::size_t memoryAllowance)
      : disk_(disk), scratchPrefix_(std::move(scratchPrefix)), allowance_(memoryAllowance) {}
  StagedFileSystem(const StagedFileSystem&) = delete;
  StagedFileSystem& operator=(const StagedFileSystem&) = delete;
  ~StagedFileSystem() override;

  bool List(const std::string& directory, std::span<const std::string_view> masks,
            bool subdirectories, std::vector<DirEntry>& entries) override {
    return disk_.List(directory, masks, subdirectories, entries);
  }
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override;
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>& held) override;
  int ReplaceFile(const std::string& source, const std::string& target) override;
  int DeleteFile(const std::string& name) override;
  FileTarget Target(const std::string& name) override { return disk_.Target(name); }
  int AppendToTextFile(const std::string& name, const std::string& from, std::string_view bytes,
                       std::int64_t& end) override;
  int AppendToFile(const std::string& name, std::string_view bytes) override;
  int TruncateFile(const std::string& name, std::int64_t size) override;
  int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) override {
    return disk_.LockDirectory(directory, lock);
  }

  // Puts the staged files in place in the order they were first staged, then appends the
  // staged log lines. A failure puts every file already replaced back as it was (a file that
  // was new is removed) and is thrown, noting when the tree is not as before. A file that
  // cannot be put back is named on the console with where its previous bytes are kept.
  void Commit(Console& console);

 private:
  // Bytes held for one name: in memory, or in a scratch file of their own.
  struct Bytes {
    std::string memory;
    std::string scratch;  // the scratch file's name; empty while held in memory
    std::size_t size = 0;
  };
  struct Entry {
    Bytes bytes;
    bool removed = false;  // reads as missing
    bool log = false;      // bytes to append to the file, not its new content
  };

  Entry* Find(const std::string& name);
  Entry& Stage(const std::string& name);
  int Load(const Bytes& bytes, std::string& out);
  int Store(Bytes& bytes, std::string content);
  int Append(Bytes& bytes, std::string_view more);
  // Writes the bytes over the file on disk, by a scratch file beside it.
  int PutInPlace(const std::string& name, const Bytes& staged);
  void Drop(Bytes& bytes);
  // False when the file could not be put back.
  bool PutBack(const std::string& name, Bytes& original, bool existed, Console& console);

  FileSystem& disk_;
  std::string scratchPrefix_;
  std::size_t allowance_;
  std::size_t inMemory_ = 0;
  unsigned scratchCount_ = 0;
  std::map<std::string, Entry> entries_;
  std::vector<std::string> order_;  // names in the order they were first staged
};

}  // namespace reshape
