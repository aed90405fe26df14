// The change log: one line per change, "FILE NAME> message" and CR LF, in a file in the current
// directory. A file's lines are collected while it is converted and appended in one operation
// just before the file is put in place, so the log lists exactly what is on disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/errors.h"
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

  // Collects one line of the file under conversion.
  void LogChange(std::string_view fileName, std::string_view message) override;

  // Puts the file's collected lines in the log (none: the log is not touched), then the file
  // in its place by `putInPlace`; when that fails, the log is cut back to where it was. Fails
  // with EInOutError when the log cannot be opened or written (read-only, or held by another
  // process); an end-of-text byte among the log's last 128 bytes cuts it off there first.
  template <typename PutInPlace>
  void Commit(PutInPlace putInPlace) {
    if (pending_.empty()) return putInPlace();
    std::int64_t end = 0;
    if (int code = files_.AppendToLog(logFileName_, pending_, end)) throw EInOutError(code);
    pending_.clear();
    try {
      putInPlace();
    } catch (...) {
      files_.CutLog(logFileName_, end);
      throw;
    }
  }

 private:
  FileSystem& files_;
  std::string logFileName_;
  std::string pending_;
};

}  // namespace reshape
