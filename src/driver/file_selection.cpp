#include "driver/file_selection.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "base/bytes.h"
#include "base/path.h"
#include "platform/system.h"

namespace reshape {

namespace {

// The file numbers of one volume that a pass has taken from listings, in a table of plain
// slots (open addressing, a power of two in size, at most three quarters full, 0 for a free
// slot): a tree of many files costs about twenty bytes a file and no allocation per file.
class FileNumberSet {
 public:
  // True when the number was not in the set yet.
  bool Insert(std::uint64_t number) {
    if (number == 0) return !std::exchange(holdsZero_, true);
    if (4 * (count_ + 1) > 3 * slots_.size()) Grow();
    std::uint64_t& slot = slots_[SlotOf(number)];
    if (slot != 0) return false;
    slot = number;
    ++count_;
    return true;
  }

 private:
  std::size_t SlotOf(std::uint64_t number) const {
    const std::size_t mask = slots_.size() - 1;
    // Eight numbers in a row share a spread place: files made together, as a directory's
    // often are, then share a cache line instead of each costing a miss.
    const std::uint64_t spread = (number >> 3) * kHashMultiplier >> 32;
    auto slot = static_cast<std::size_t>(spread << 3 | (number & 7)) & mask;
    while (slots_[slot] != 0 && slots_[slot] != number) slot = (slot + 1) & mask;
    return slot;
  }
  void Grow() {
    std::vector<std::uint64_t> old(std::max<std::size_t>(64, 2 * slots_.size()));
    old.swap(slots_);
    for (std::uint64_t number : old)
      if (number != 0) slots_[SlotOf(number)] = number;
  }

  std::vector<std::uint64_t> slots_;
  std::size_t count_ = 0;
  bool holdsZero_ = false;
};

// Remembers which files a pass has seen, so that every file of a pass is converted once,
// under its first name.
class FirstNames {
 public:
  explicit FirstNames(FileSystem& files) : files_(files) {}
  // A listing names each file once, so only the identities it gave are kept.
  bool IsFirstListed(const FileIdentity& identity) {
    return !identity.known || listed_[identity.volume].Insert(identity.index);
  }
  // A name repeated on the command line stays repeated.
  bool IsFirstNamed(const std::string& name) {
    const FileIdentity identity = files_.Target(name).identity;
    if (!identity.known) return true;
    auto [first, isNew] = named_.emplace(identity, name);
    return isNew || first->second == name;
  }

 private:
  FileSystem& files_;
  // By volume: a tree mostly lies on one.
  std::map<std::uint64_t, FileNumberSet> listed_;
  std::map<FileIdentity, std::string> named_;
};

// The files of one directory listing in mask order, read-only ones reported instead, each once.
std::vector<std::string> FilesOf(const std::vector<DirEntry>& entries, const std::string& directory,
                                 const PassSelection& selection, Console& console,
                                 FirstNames& firstNames) {
  std::vector<std::string> names;
  for (std::size_t mask = 0; mask < selection.masks.size(); ++mask) {
    for (const DirEntry& entry : entries) {
      if (entry.Directory || (entry.Masks >> mask & 1) == 0) continue;
      if (entry.ReadOnly) {
        console.WriteLine(directory + entry.Name + " is read only");
        if (selection.leftOut) selection.leftOut(directory + entry.Name, entry.Identity);
      } else if (firstNames.IsFirstListed(entry.Identity))
        names.push_back(directory + entry.Name);
    }
  }
  return names;
}

// Depth first, with a stack of the directories still to visit instead of recursion, so that a
// tree ten thousand levels deep needs no deeper call stack than a flat one.
void VisitTree(FileSystem& files, const PassSelection& selection, Console& console,
               FirstNames& firstNames, const std::function<void(const std::string&)>& visit) {
  std::vector<std::string> pending{""};
  std::vector<DirEntry> entries;
  while (!pending.empty()) {
    const std::string directory = std::move(pending.back());
    pending.pop_back();
    // A directory that went away or may not be read since it was listed is no failure of the
    // run, but the user learns that its files were not converted.
    if (!files.List(directory, selection.masks, true, entries) && !directory.empty())
      console.WriteLine(directory + " cannot be searched");
    for (const std::string& name :
         FilesOf(entries, directory, selection, console, firstNames))
      visit(name);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
      if (entry->Directory && !entry->Name.starts_with(".") && !entry->Name.starts_with("__"))
        pending.push_back(directory + entry->Name + platform::kPathSeparator);
  }
}

}  // namespace

void VisitPassFiles(FileSystem& files, const PassSelection& selection, Console& console,
                    const std::function<void(const std::string&)>& visit) {
  FirstNames firstNames(files);
  if (selection.recursive) return VisitTree(files, selection, console, firstNames, visit);
  // All of the pass's names are known, and its notices printed, before its first file.
  std::vector<std::string> names;
  if (selection.namedFiles.empty()) {
    std::vector<DirEntry> entries;
    files.List("", selection.masks, false, entries);
    names = FilesOf(entries, "", selection, console, firstNames);
  }
  for (const std::string& name : selection.namedFiles) {
    const auto matches = [&](std::string_view mask) { return MatchesMask(NamePart(name), mask); };
    if (std::ranges::any_of(selection.masks, matches) && firstNames.IsFirstNamed(name))
      names.push_back(name);
  }
  for (const std::string& name : names) visit(name);
}

}  // namespace reshape
