// The real-world corpus of form files beside the project (or where RESHAPE_CORPUS_DIR points):
// its files, read whole, in a fixed order, and their lines.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace reshape::e2e {

inline std::filesystem::path CorpusDir() {
  if (const char* dir = std::getenv("RESHAPE_CORPUS_DIR")) return dir;
  return std::filesystem::path(RESHAPE_SOURCE_DIR) / ".." / "shared" / "corpus";
}

// The files under a folder of the corpus, sorted; none when there is no such folder.
inline std::vector<std::filesystem::path> CorpusFiles(const char* folder) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(CorpusDir() / folder))
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusDir() / folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a text, each without its break (CR LF, LF or CR).
inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; start < text.size(); start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1)) {
    end = std::min(text.find_first_of("\r\n", start), text.size());
    lines.emplace_back(text.substr(start, end - start));
  }
  return lines;
}

}  // namespace reshape::e2e
