// A file system that holds back every change a run makes: files written, moved into place or
// removed, and lines appended to the log, are kept and read back from there, so later passes see
// what earlier passes produced while the tree stays as it was. A preview keeps them in memory,
// or in scratch files under the system's temporary directory once the memory allowance is used
// up, and of the log only its size. An all-or-nothing run writes each file's new bytes to a
// scratch file beside it, as a plain run does; Commit then moves them into place, the old bytes
// kept under a further name of the file meanwhile, or, when that fails midway, puts back what it
// had already replaced.
#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/console.h"
#include "platform/file_system.h"

namespace reshape {

enum class Staging { Preview, AllOrNothing };

class StagedFileSystem final : public FileSystem {
 public:
  // `scratchPrefix`: the start of the scratch file names, a directory and a prefix unique to
  // this process ("/tmp/reshape-1234-"); beyond `memoryAllowance` bytes, staged bytes go there.
  // Scratch files beside the files of the tree take the prefix's name part.
  StagedFileSystem(FileSystem& disk, std::string scratchPrefix, std::size_t memoryAllowance,
                   Staging staging)
      : disk_(disk),
        scratchPrefix_(std::move(scratchPrefix)),
        allowance_(memoryAllowance),
        staging_(staging) {}
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

  // For a preview: what the run writes from now on is kept only for the files that `masks`
  // match (those a later pass takes) and for files it reached through a link; of any other
  // only that it was written: nobody reads it again.
  void KeepOnlyFor(std::vector<std::string_view> masks) { keptFor_ = std::move(masks); }

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
    bool beside = false;  // the scratch file stands beside the file the bytes are for
  };
  struct Entry {
    Bytes bytes;
    bool removed = false;  // reads as missing
    bool log = false;      // bytes to append to the file, not its new content
    bool unread = false;   // a preview's file that no later pass reads: its bytes are not kept
  };

  Entry* Find(const std::string& name);
  Entry& Stage(const std::string& name);
  int Load(const Bytes& bytes, std::string& out);
  int Store(Bytes& bytes, std::string content);
  // A scratch file name beside `name`, in its directory.
  std::string BesideName(const std::string& name);
  IoResult StoreBeside(Bytes& bytes, std::string_view content, const std::string& name);
  int Append(Bytes& bytes, std::string_view more);
  // Writes the bytes over the file on disk, by a scratch file beside it (moved there as it is
  // when the bytes are in one already).
  int PutInPlace(const std::string& name, Bytes& staged);
  void Drop(Bytes& bytes);
  // False when the file could not be put back.
  bool PutBack(const std::string& name, Bytes& original, bool existed, const std::string& aside,
               Console& console);

  FileSystem& disk_;
  std::string scratchPrefix_;
  std::size_t allowance_;
  Staging staging_;
  std::size_t inMemory_ = 0;
  unsigned scratchCount_ = 0;
  std::unordered_map<std::string, Entry> entries_;
  std::vector<std::string_view> keptFor_;
  std::set<std::string> linked_;  // files the run reached through a link
  std::vector<std::string> order_;  // names in the order they were first staged
};

}  // namespace reshape
