// Access to the real-world corpus of form files beside the project (or where
// RESHAPE_CORPUS_DIR points): its folder and its files, read whole, in a fixed order.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace reshape::e2e {

inline std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("RESHAPE_CORPUS_DIR")) return dir;
  return std::filesystem::path(RESHAPE_SOURCE_DIR) / ".." / "shared" / "corpus";
}

inline std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace reshape::e2e
