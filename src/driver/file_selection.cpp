#include "driver/file_selection.h"

#include <map>

namespace reshape {

namespace {

// The names, without those that lead to a file already taken under another name (a link and
// its target, two links): each file is converted once, under its first name. A name repeated
// as such stays repeated.
FileList EachFileOnce(FileSystem& files, FileList names) {
  FileList list;
  std::map<std::string, std::string> firstNames;
  for (std::string& name : names) {
    std::string identity = files.Target(name).identity;
    auto [first, isNew] = firstNames.emplace(identity, name);
    if (identity.empty() || isNew || first->second == name) list.push_back(std::move(name));
  }
  return list;
}

}  // namespace

void CollectFiles(FileSystem& files, FileList& list, std::initializer_list<std::string_view> masks,
                  const std::vector<std::string>& namedFiles, Console& console) {
  FileList names;
  for (const std::string& name : namedFiles) {
    for (std::string_view mask : masks) {
      if (MatchesMask(NamePart(name), mask)) {
        names.push_back(name);
        break;
      }
    }
  }
  for (std::string_view mask : masks) {
    if (!namedFiles.empty()) break;
    for (DirEntry& entry : files.List(mask)) {
      if (entry.ReadOnly)
        console.WriteLine(entry.Name + " is read only");
      else
        names.push_back(std::move(entry.Name));
    }
  }
  for (std::string& name : EachFileOnce(files, std::move(names))) list.push_back(std::move(name));
}

}  // namespace reshape
