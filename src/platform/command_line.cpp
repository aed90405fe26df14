#include "platform/command_line.h"

namespace reshape::platform {

namespace {

// Whether char is signed or not, only the bytes 1 to 32 lie in this range.
bool IsSeparator(char c) { return c >= 1 && c <= 32; }

// Reads the word that starts at or after `i`; false when only separators are left.
bool NextWord(std::string_view text, std::size_t& i, std::string& word) {
  while (i < text.size() && IsSeparator(text[i])) ++i;
  if (i == text.size()) return false;
  word.clear();
  while (i < text.size() && !IsSeparator(text[i])) {
    if (text[i] == '"') {
      std::size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) close = text.size();
      word.append(text.substr(i + 1, close - i - 1));
      i = close == text.size() ? close : close + 1;
    } else {
      word += text[i++];
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  std::string word;
  if (!NextWord(commandLine, i, word)) return arguments;
  while (NextWord(commandLine, i, word))
    if (!word.empty()) arguments.push_back(word);
  return arguments;
}

}  // namespace reshape::platform
