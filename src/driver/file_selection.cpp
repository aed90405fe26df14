#include "driver/file_selection.h"


namespace reshape {

void CollectFiles(FileSystem& files, FileList& list, std::initializer_list<std::string_view> masks,
                  const std::vector<std::string>& namedFiles, Console& console) {
  if (!namedFiles.empty()) {
    for (const std::string& name : namedFiles) {
      for (std::string_view mask : masks) {
        if (MatchesMask(NamePart(name), mask)) {
          list.push_back(name);
          break;
        }
      }
    }
    return;
  }
  for (std::string_view mask : masks) {
    for (DirEntry& entry : files.List(mask)) {
      if (entry.ReadOnly)
        console.WriteLine(entry.Name + " is read only");
      else
        list.push_back(std::move(entry.Name));
    }
  }
}

}  // namespace reshape
