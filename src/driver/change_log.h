// The change log: one line per change, "FILE NAME> message" and CR LF, appended to a file in
// the current directory that is opened and closed for every line, so it is complete on disk
// after each change.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "script/run_state.h"

namespace reshape {

// The bytes of one log line: the file name with ASCII letters upper-cased, "> ", the message,
// CR LF.
std::string ChangeLogLine(std::string_view fileName, std::string_view message);

class FileChangeLog : public ChangeLogger {
 public:
  FileChangeLog(FileSystem& files, std::string logFileName)
      : files_(files), logFileName_(std::move(logFileName)) {}

  // Appends one line; fails with EInOutError when the log cannot be opened, written or closed
  // (read-only, or held by another process). A failed write leaves no partial line behind.
  // An end-of-text byte among the log's last 128 bytes cuts it off there first.
  void LogChange(std::string_view fileName, std::string_view message) override;

 private:
  FileSystem& files_;
  std::string logFileName_;
};

}  // namespace reshape
