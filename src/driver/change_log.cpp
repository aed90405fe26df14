#include "driver/change_log.h"

namespace reshape {

std::string ChangeLogLine(std::string_view fileName, std::string_view message) {
  std::string line;
  line.reserve(fileName.size() + message.size() + 4);
  for (char c : fileName) line += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  line += "> ";
  line += message;
  line += "\r\n";
  return line;
}

void FileChangeLog::LogChange(std::string_view fileName, std::string_view message) {
  pending_ += ChangeLogLine(fileName, message);
}

}  // namespace reshape
