#include "driver/file_selection.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "base/path.h"
#include "platform/system.h"

namespace reshape {

namespace {

// Remembers which files a pass has seen, so that every file of a pass is converted once,
// under its first name.
class FirstNames {
 public:
  explicit FirstNames(FileSystem& files) : files_(files) {}
  // A listing names each file once, so only the identities it gave are kept: a large tree
  // costs a few dozen bytes a file.
  bool IsFirstListed(std::string identity) {
    return identity.empty() || listed_.insert(std::move(identity)).second;
  }
  // A name repeated on the command line stays repeated.
  bool IsFirstNamed(const std::string& name) {
    std::string identity = files_.Target(name).identity;
    if (identity.empty()) return true;
    auto [first, isNew] = named_.emplace(std::move(identity), name);
    return isNew || first->second == name;
  }

 private:
  FileSystem& files_;
  std::unordered_set<std::string> listed_;
  std::map<std::string, std::string> named_;
};

// The files of one directory listing in mask order, read-only ones reported instead, each once.
std::vector<std::string> FilesOf(const std::vector<DirEntry>& entries, const std::string& directory,
                                 std::initializer_list<std::string_view> masks, Console& console,
                                 FirstNames& firstNames) {
  std::vector<std::string> names;
  for (std::string_view mask : masks) {
    for (const DirEntry& entry : entries) {
      if (entry.Directory || !MatchesMask(entry.Name, mask)) continue;
      if (entry.ReadOnly)
        console.WriteLine(directory + entry.Name + " is read only");
      else if (firstNames.IsFirstListed(entry.Identity))
        names.push_back(directory + entry.Name);
    }
  }
  return names;
}

bool IsSkippedDirectory(std::string_view name) {
  return name.starts_with(".") || name.starts_with("__");
}

// Depth first, with a stack of the directories still to visit instead of recursion, so that a
// tree ten thousand levels deep needs no deeper call stack than a flat one.
void VisitTree(FileSystem& files, const PassSelection& selection, Console& console,
               FirstNames& firstNames, const std::function<void(const std::string&)>& visit) {
  const std::vector<std::string_view> masks(selection.masks);
  std::vector<std::string> pending{""};
  std::vector<DirEntry> entries;
  while (!pending.empty()) {
    const std::string directory = std::move(pending.back());
    pending.pop_back();
    // A directory that went away or may not be read since it was listed is no failure of the
    // run, but the user learns that its files were not converted.
    if (!files.List(directory, masks, true, entries) && !directory.empty())
      console.WriteLine(directory + " cannot be searched");
    for (const std::string& name :
         FilesOf(entries, directory, selection.masks, console, firstNames))
      visit(name);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
      if (entry->Directory && !IsSkippedDirectory(entry->Name))
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
    files.List("", std::vector<std::string_view>(selection.masks), false, entries);
    names = FilesOf(entries, "", selection.masks, console, firstNames);
  }
  for (const std::string& name : selection.namedFiles) {
    const bool matches =
        std::any_of(selection.masks.begin(), selection.masks.end(),
                    [&](std::string_view mask) { return MatchesMask(NamePart(name), mask); });
    if (matches && firstNames.IsFirstNamed(name)) names.push_back(name);
  }
  for (const std::string& name : names) visit(name);
}

}  // namespace reshape
