#include "driver/change_log.h"

#include "base/ascii_case.h"

namespace reshape {

std::string ChangeLogLine(std::string_view fileName, std::string_view message) {
  return AsciiUpperCase(fileName).append("> ").append(message).append("\r\n");
}

void FileChangeLog::LogChange(std::string_view fileName, std::string_view message) {
  // ChangeLogLine's line, put together in place: a file may have millions of changes.
  const std::size_t name = pending_.size();
  pending_.append(fileName).append("> ").append(message).append("\r\n");
  for (std::size_t at = name; at < name + fileName.size(); ++at) pending_[at] = AsciiUpper(pending_[at]);
  if (pending_.size() < spillBytes_) return;
  // A stale spill file of a killed run must not end up in the log.
  if (!spilled_) files_.DeleteFile(spillFileName_);
  spilled_ = true;  // from here on the spill file is removed when the log object goes
  CheckInOut(files_.AppendToFile(spillFileName_, pending_));
  pending_.clear();
}

}  // namespace reshape
