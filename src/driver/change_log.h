// The change log: one line per change, "FILE NAME> message" and CR LF, appended to a file in
// the current directory that is opened and closed for every line, so it is complete on disk
// after each change.
#pragma once

#include <string>
#include <string_view>

#include "script/run_state.h"

namespace reshape {

// The bytes of one log line: the file name with ASCII letters upper-cased, "> ", the message,
// CR LF.
std::string ChangeLogLine(std::string_view fileName, std::string_view message);

class FileChangeLog : public ChangeLogger {
 public:
  explicit FileChangeLog(std::string logFileName) : logFileName_(std::move(logFileName)) {}

  // Appends one line; fails with EInOutError when the log cannot be opened, written or closed
  // (read-only, or held by another process). A failed write leaves no partial line behind.
  void LogChange(std::string_view fileName, std::string_view message) override;

 private:
  std::string logFileName_;
};

}  // namespace reshape
