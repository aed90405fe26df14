// The change log: one line per change, "FILE NAME> message" and CR LF, in a file in the current
// directory. A file's lines are collected while it is converted and appended in one operation
// just before the file is put in place, so the log lists exactly what is on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/errors.h"
#include "platform/file_system.h"

namespace reshape {

// The bytes of one log line: the file name with ASCII letters upper-cased, "> ", the message,
// CR LF.
std::string ChangeLogLine(std::string_view fileName, std::string_view message);

class FileChangeLog {
 public:
  // Collected lines beyond this many bytes go to the spill file, so that a file with millions
  // of changes does not hold them all in memory.
  static constexpr std::size_t kDefaultSpillBytes = std::size_t{4} << 20;

  FileChangeLog(FileSystem& files, std::string logFileName,
                std::size_t spillBytes = kDefaultSpillBytes)
      : files_(files),
        logFileName_(std::move(logFileName)),
        spillFileName_(logFileName_ + ".XXX"),
        spillBytes_(spillBytes) {}
  FileChangeLog(const FileChangeLog&) = delete;
  FileChangeLog& operator=(const FileChangeLog&) = delete;
  ~FileChangeLog() { DropSpill(); }

  // Collects one line of the file under conversion.
  void LogChange(std::string_view fileName, std::string_view message);

  // Forgets the lines collected for a file that failed and stays as it was.
  void Discard() {
    pending_.clear();
    DropSpill();
  }

  // Puts the file's collected lines in the log (none: the log is not touched), then the file
  // in its place by `putInPlace`; when that fails, the log is cut back to where it was. Fails
  // with an input/output failure when the log cannot be opened or written (read-only, or held
  // by another process); an end-of-text byte among the log's last 128 bytes cuts it off there first.
  template <typename PutInPlace>
  void Commit(PutInPlace putInPlace) {
    if (pending_.empty() && !spilled_) return putInPlace();
    std::int64_t end = 0;
    CheckInOut(files_.AppendToTextFile(logFileName_, spilled_ ? spillFileName_ : "", pending_, end));
    Discard();
    try {
      putInPlace();
    } catch (...) {
      files_.TruncateFile(logFileName_, end);
      throw;
    }
  }

 private:
  void DropSpill() {
    if (std::exchange(spilled_, false)) files_.DeleteFile(spillFileName_);
  }

  FileSystem& files_;
  std::string logFileName_;
  // Beside the log: the run holds that directory, so no other run uses the name meanwhile, and
  // a system temp directory is often kept in memory, which spilling is meant to spare.
  std::string spillFileName_;
  std::size_t spillBytes_;
  std::string pending_;
  bool spilled_ = false;  // the spill file holds the file's first lines
};

}  // namespace reshape
