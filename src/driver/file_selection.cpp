#include "driver/file_selection.h"

#include "platform/file_system.h"

namespace reshape {

std::string_view NamePart(std::string_view path) {
  std::size_t separator = path.find_last_of("\\:/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

void CollectFiles(FileList& list, std::initializer_list<std::string_view> masks,
                  const std::vector<std::string>& namedFiles, Console& console) {
  if (!namedFiles.empty()) {
    for (const std::string& name : namedFiles) {
      for (std::string_view mask : masks) {
        if (platform::MatchesMask(NamePart(name), mask)) {
          list.push_back(name);
          break;
        }
      }
    }
    return;
  }
  for (std::string_view mask : masks) {
    for (platform::DirEntry& entry : platform::FindFiles(mask)) {
      if (entry.ReadOnly)
        console.WriteLine(entry.Name + " is read only");
      else
        list.push_back(std::move(entry.Name));
    }
  }
}

}  // namespace reshape
