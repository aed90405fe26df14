#include "base/path.h"

namespace reshape {

std::string_view NamePart(std::string_view path) {
  std::size_t separator = path.find_last_of("\\:/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string FileBaseName(std::string_view path) {
  std::string_view name = NamePart(path);
  return std::string(name.substr(0, name.find('.')));
}

std::string ReplaceExtension(std::string_view name, std::string_view extension) {
  std::size_t last = name.find_last_of(".\\:/");
  if (last != std::string_view::npos && name[last] == '.') name = name.substr(0, last);
  return std::string(name).append(extension);
}

std::string TempFileName(std::string_view fileName) {
  const auto directory = fileName.substr(0, fileName.size() - NamePart(fileName).size());
  return std::string(directory) + FileBaseName(fileName) + ".XXX";
}

}  // namespace reshape
