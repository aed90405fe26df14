#include "driver/staged_file_system.h"

#include <algorithm>

#include "base/errors.h"
#include "base/name_match.h"
#include "base/path.h"
#include "driver/scratch_file.h"

namespace reshape {

namespace {

// The directory of a path, with its trailing separator ("" for the current one).
std::string_view DirectoryPart(std::string_view path) {
  return path.substr(0, path.size() - NamePart(path).size());
}

// A staged file is held by nobody: there is nothing to let go of.
class NothingHeld final : public Held {
 public:
  int Release() override { return 0; }
};

}  // namespace

StagedFileSystem::~StagedFileSystem() {
  for (auto& [name, entry] : entries_) Drop(entry.bytes);
}

StagedFileSystem::Entry* StagedFileSystem::Find(const std::string& name) {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

StagedFileSystem::Entry& StagedFileSystem::Stage(const std::string& name) {
  auto [entry, isNew] = entries_.try_emplace(name);
  if (isNew) order_.push_back(name);
  return entry->second;
}

int StagedFileSystem::Load(const Bytes& bytes, std::string& out) {
  if (bytes.scratch.empty()) {
    out = bytes.memory;
    return 0;
  }
  return disk_.ReadFile(bytes.scratch, ReadFor::Reading, out).code;
}

int StagedFileSystem::Store(Bytes& bytes, std::string content) {
  Drop(bytes);
  bytes.size = content.size();
  if (inMemory_ + content.size() <= allowance_) {
    inMemory_ += content.size();
    bytes.memory = std::move(content);
    return 0;
  }
  bytes.scratch = scratchPrefix_ + std::to_string(++scratchCount_) + ".tmp";
  std::unique_ptr<Held> held;
  IoResult written = disk_.WriteFile(bytes.scratch, content, held);
  if (written.code != 0) return written.code;
  return held->Release();
}

std::string StagedFileSystem::BesideName(const std::string& name) {
  return std::string(DirectoryPart(name)) + std::string(NamePart(scratchPrefix_)) +
         std::to_string(++scratchCount_) + ".XXX";
}

IoResult StagedFileSystem::StoreBeside(Bytes& bytes, std::string_view content,
                                       const std::string& name) {
  Drop(bytes);
  const std::string path = BesideName(name);
  std::unique_ptr<Held> held;
  IoResult written = disk_.WriteFile(path, content, held);
  // A file created is removed again with the bytes, also when it is half written.
  if (written.opened) bytes = {"", path, content.size(), true};
  if (written.code == 0) written.code = held->Release();
  return written;
}

int StagedFileSystem::Append(Bytes& bytes, std::string_view more) {
  if (!bytes.scratch.empty()) {
    bytes.size += more.size();
    return disk_.AppendToFile(bytes.scratch, more);
  }
  if (inMemory_ + more.size() <= allowance_) {
    inMemory_ += more.size();
    bytes.memory += more;
    bytes.size += more.size();
    return 0;
  }
  std::string all = std::move(bytes.memory);
  all += more;
  return Store(bytes, std::move(all));
}

int StagedFileSystem::PutInPlace(const std::string& name, Bytes& staged) {
  if (staged.beside && DirectoryPart(staged.scratch) == DirectoryPart(name)) {
    if (int code = disk_.ReplaceFile(staged.scratch, name)) return code;
    staged = Bytes();  // moved: nothing left to remove
    return 0;
  }
  std::string bytes;
  if (int code = Load(staged, bytes)) return code;
  ScratchFile scratch(disk_, TempFileName(name), name);
  if (int code = scratch.Write(bytes).code) return code;
  bytes = std::string();
  return scratch.Keep();
}

void StagedFileSystem::Drop(Bytes& bytes) {
  inMemory_ -= bytes.memory.size();
  std::string().swap(bytes.memory);  // an assignment would keep the buffer
  if (!bytes.scratch.empty()) disk_.DeleteFile(bytes.scratch);
  bytes.scratch.clear();
  bytes.size = 0;
  bytes.beside = false;
}

IoResult StagedFileSystem::ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) {
  if (Entry* entry = Find(name); entry && !entry->unread) {
    if (entry->removed) return {kFileNotFound, false};
    return {Load(entry->bytes, bytes), true, true};
  }
  IoResult read = disk_.ReadFile(name, purpose, bytes);
  // A link whose target an earlier pass rewrote reads as that rewritten file.
  if (read.code == 0 && !read.ownName) {
    const std::string path = disk_.Target(name).path;
    Entry* target = Find(path);
    if (target && !target->removed && !target->unread) read.code = Load(target->bytes, bytes);
    if (staging_ == Staging::Preview) linked_.insert(path);
  }
  return read;
}

IoResult StagedFileSystem::WriteFile(const std::string& name, std::string_view bytes,
                                     std::unique_ptr<Held>& held) {
  Entry& entry = Stage(name);
  entry.removed = entry.log = false;
  held = std::make_unique<NothingHeld>();
  entry.unread = false;
  // The new bytes of an all-or-nothing run are written where they will be put in place.
  if (staging_ == Staging::AllOrNothing) return StoreBeside(entry.bytes, bytes, name);
  // A preview's are held until they are moved into place, where it is known who reads them.
  Drop(entry.bytes);
  inMemory_ += bytes.size();
  entry.bytes.memory = bytes;
  entry.bytes.size = bytes.size();
  return {0, true};
}

int StagedFileSystem::ReplaceFile(const std::string& source, const std::string& target) {
  Entry* from = Find(source);
  if (!from || from->removed) return kFileNotFound;
  Entry& to = Stage(target);
  Drop(to.bytes);
  to.bytes = std::move(from->bytes);
  from->bytes = Bytes();
  to.removed = to.log = to.unread = false;
  entries_.erase(source);
  if (staging_ == Staging::AllOrNothing || !to.bytes.scratch.empty()) return 0;
  const auto readLater = [&](std::string_view mask) { return MatchesMask(NamePart(target), mask); };
  if (!linked_.contains(target) && !std::ranges::any_of(keptFor_, readLater)) {
    Drop(to.bytes);
    to.unread = true;
    return 0;
  }
  // Beyond the memory allowance the bytes go to a scratch file.
  if (inMemory_ <= allowance_) return 0;
  std::string content = std::move(to.bytes.memory);
  inMemory_ -= content.size();
  return Store(to.bytes, std::move(content));
}

int StagedFileSystem::DeleteFile(const std::string& name) {
  Entry& entry = Stage(name);
  Drop(entry.bytes);
  entry.removed = true;
  entry.log = false;
  return 0;
}

int StagedFileSystem::AppendToTextFile(const std::string& name, const std::string& from,
                                       std::string_view bytes, std::int64_t& end) {
  std::string all;
  if (!from.empty()) {
    if (IoResult read = ReadFile(from, ReadFor::Reading, all); read.code != 0) return read.code;
    bytes = all += bytes;
  }
  Entry& entry = Stage(name);
  if (!entry.log) {
    Drop(entry.bytes);
    entry.log = true;
    entry.removed = false;
  }
  end = static_cast<std::int64_t>(entry.bytes.size);
  // A preview's log is never written: only its size counts.
  if (staging_ == Staging::Preview) {
    entry.bytes.size += bytes.size();
    return 0;
  }
  return Append(entry.bytes, bytes);
}

int StagedFileSystem::AppendToFile(const std::string& name, std::string_view bytes) {
  if (Entry* entry = Find(name); entry && !entry->removed) return Append(entry->bytes, bytes);
  std::string all;
  if (!Find(name)) {
    IoResult read = disk_.ReadFile(name, ReadFor::Reading, all);
    if (read.code != 0 && read.code != kFileNotFound) return read.code;
  }
  all += bytes;
  Entry& entry = Stage(name);
  entry.removed = entry.log = false;
  return Store(entry.bytes, std::move(all));
}

int StagedFileSystem::TruncateFile(const std::string& name, std::int64_t size) {
  Entry* entry = Find(name);
  if (!entry || !entry->log) return kFileNotFound;
  if (staging_ == Staging::Preview) {
    entry->bytes.size = static_cast<std::size_t>(size);
    return 0;
  }
  std::string bytes;
  if (int code = Load(entry->bytes, bytes)) return code;
  bytes.resize(static_cast<std::size_t>(size));
  return Store(entry->bytes, std::move(bytes));
}

void StagedFileSystem::Commit(Console& console) {
  struct Replaced {
    std::string name;
    Bytes original;
    bool existed = false;
    std::string aside;  // a further name of the file as it was
  };
  std::vector<Replaced> replaced;
  try {
    for (const std::string& name : order_) {
      Entry* entry = Find(name);
      if (!entry || entry->removed || entry->log) continue;
      // The file as it was stays under a further name until the commit is done; where the file
      // system has none, its bytes are read and kept.
      std::string aside = BesideName(name);
      int linked = disk_.LinkFile(name, aside);
      Bytes original;
      bool existed = linked == 0;
      if (linked != 0) {
        aside.clear();
        std::string bytes;
        IoResult read = disk_.ReadFile(name, ReadFor::Replacing, bytes);
        if (read.code != kFileNotFound) CheckInOut(read.code);
        if (int code = read.code == 0 ? Store(original, std::move(bytes)) : 0) {
          Drop(original);
          CheckInOut(code);
        }
        existed = read.code == 0;
      }
      // From here on the file counts as replaced: putting back bytes it still has is harmless.
      replaced.push_back({name, std::move(original), existed, aside});
      CheckInOut(PutInPlace(name, entry->bytes));
    }
    for (const std::string& name : order_) {
      Entry* entry = Find(name);
      if (!entry || !entry->log || entry->bytes.size == 0) continue;
      std::int64_t end = 0;
      CheckInOut(disk_.AppendToTextFile(name, entry->bytes.scratch, entry->bytes.memory, end));
    }
  } catch (...) {
    bool restored = true;
    for (auto done = replaced.rbegin(); done != replaced.rend(); ++done)
      restored = PutBack(done->name, done->original, done->existed, done->aside, console) && restored;
    if (restored) throw;
    try {
      throw;
    } catch (Failure& failure) {
      failure.NoteTreeNotRestored();
      throw;
    } catch (...) {
      // Only memory can run out outside the file operations, which fail as Exceptions.
      Failure failure(FailureKind::kOutOfMemory);
      failure.NoteTreeNotRestored();
      throw failure;
    }
  }
  for (Replaced& done : replaced) {
    Drop(done.original);
    if (!done.aside.empty()) disk_.DeleteFile(done.aside);
  }
}

// Puts one file back as it was before the commit; what cannot be put back is named, and its
// previous bytes stay where the user can take them.
bool StagedFileSystem::PutBack(const std::string& name, Bytes& original, bool existed,
                               const std::string& aside, Console& console) {
  if (!aside.empty()) {
    // A file that was never replaced is still the one the further name leads to: the move then
    // leaves both names, and the further one goes.
    const FileIdentity now = disk_.Target(name).identity;
    if ((now.known && now == disk_.Target(aside).identity) || disk_.ReplaceFile(aside, name) == 0) {
      disk_.DeleteFile(aside);
      return true;
    }
    console.WriteLine(name + " could not be put back; its previous bytes are in " + aside);
    return false;
  }
  if (!existed) {
    if (int code = disk_.DeleteFile(name); code == 0 || code == kFileNotFound) return true;
    console.WriteLine(name + " could not be removed again");
    return false;
  }
  if (PutInPlace(name, original) == 0) {
    Drop(original);
    return true;
  }
  // Kept in a scratch file of its own, which the destructor does not remove.
  if (original.scratch.empty()) {
    std::string keep = scratchPrefix_ + std::to_string(++scratchCount_) + ".tmp";
    std::unique_ptr<Held> held;
    if (disk_.WriteFile(keep, original.memory, held).code == 0 && held->Release() == 0)
      original.scratch = keep;
  }
  console.WriteLine(name + " could not be put back" +
                    (original.scratch.empty() ? "" : "; its previous bytes are in " + original.scratch));
  inMemory_ -= original.memory.size();
  original = Bytes();
  return false;
}

}  // namespace reshape
