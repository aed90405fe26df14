#include "driver/read_only_overlay.h"

#include <memory>
#include <optional>

#include "base/errors.h"

namespace reshape {

namespace {

class NothingHeld final : public Held {
 public:
  int Release() override { return 0; }
};

// The files as one left-out file's conversion sees them: the file reads as the bytes the earlier
// passes made of it (or as it is on disk), what the conversion writes stays in memory, and what
// it puts in the file's place becomes the file's new bytes. Every other file is only read.
class InMemory final : public FileSystem {
 public:
  InMemory(FileSystem& disk, const std::string& name, const std::string* bytes)
      : disk_(disk), name_(name), bytes_(bytes) {}

  std::optional<std::string> TakeNewBytes() { return std::move(newBytes_); }

  bool List(const std::string& directory, std::span<const std::string_view> masks,
            bool subdirectories, std::vector<DirEntry>& entries) override {
    return disk_.List(directory, masks, subdirectories, entries);
  }
  IoResult ReadFile(const std::string& name, ReadFor, std::string& bytes) override {
    if (name == name_ && bytes_) {
      bytes = *bytes_;
      return {0, true, true};
    }
    // The file is replaced under the name it was left out by, a link or not.
    IoResult read = disk_.ReadFile(name, ReadFor::Reading, bytes);
    read.ownName = read.ownName || name == name_;
    return read;
  }
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>& held) override {
    written_[name] = bytes;
    held = std::make_unique<NothingHeld>();
    return {0, true};
  }
  int ReplaceFile(const std::string& source, const std::string& target) override {
    auto written = written_.find(source);
    if (written == written_.end()) return kFileNotFound;
    // Side files are of no use to anyone: they go at once.
    if (target == name_) newBytes_ = std::move(written->second);
    written_.erase(written);
    return 0;
  }
  int DeleteFile(const std::string& name) override {
    written_.erase(name);
    return 0;
  }
  FileTarget Target(const std::string& name) override {
    return name == name_ ? FileTarget{name_, {}} : disk_.Target(name);
  }
  int AppendToTextFile(const std::string&, const std::string&, std::string_view,
                       std::int64_t& end) override {
    end = 0;
    return 0;
  }
  int AppendToFile(const std::string&, std::string_view) override { return 0; }
  int TruncateFile(const std::string&, std::int64_t) override { return 0; }
  int LockDirectory(const std::string&, std::unique_ptr<Held>&) override { return 0; }

 private:
  FileSystem& disk_;
  const std::string& name_;
  const std::string* bytes_;
  std::map<std::string, std::string> written_;
  std::optional<std::string> newBytes_;
};

// Counts the changes of a left-out file; nothing else sees them.
class ChangeCounter final : public ChangeSink {
 public:
  void Add(const Change&) override { ++count; }
  std::size_t count = 0;
};

}  // namespace

void ReadOnlyOverlay::Convert(const std::string& name, const FileIdentity& identity,
                              const FileConversion& convert) {
  const Key key{identity, identity.known ? std::string() : name};
  const auto [found, isNew] = index_.try_emplace(key, leftOut_.size());
  if (isNew) leftOut_.push_back(LeftOut{.name = name, .bytes = {}});
  LeftOut& file = leftOut_[found->second];
  if (file.pass == pass_) return;
  file.pass = pass_;
  InMemory files(files_, file.name, file.converted ? &file.bytes : nullptr);
  // The log object only ever sees a conversion without lines to append.
  FileChangeLog log(files, "");
  ChangeCounter changes;
  try {
    convert({files, log, report_}, file.name, changes);
  } catch (...) {
    // The run does not touch the file, so a conversion that fails costs it nothing.
    return;
  }
  file.changes += changes.count;
  if (std::optional<std::string> bytes = files.TakeNewBytes()) {
    file.bytes = std::move(*bytes);
    file.converted = true;
  }
}

void ReadOnlyOverlay::Report(Console& console) const {
  for (const LeftOut& file : leftOut_) {
    if (file.changes == 0) continue;
    console.WriteLine(file.name + " is read only: " + std::to_string(file.changes) +
                      (file.changes == 1 ? " change left out" : " changes left out"));
  }
}

std::size_t ReadOnlyOverlay::FilesWithChanges() const {
  std::size_t count = 0;
  for (const LeftOut& file : leftOut_) count += file.changes > 0;
  return count;
}

}  // namespace reshape
