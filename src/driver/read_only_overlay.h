// The read-only files a run leaves out, converted in memory as the run would convert them, so
// that a preview, an all-or-nothing run or a summary can tell which of them the script would
// change. Their new bytes stay in memory for the later passes; nothing of them reaches the disk,
// the change log, the JSON records or the summary's counts.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "driver/change_log.h"
#include "driver/console.h"
#include "driver/options.h"
#include "driver/run_report.h"
#include "platform/file_system.h"
#include "script/change.h"
#include "script/command.h"

namespace reshape {

// What a file's conversion works through: the files it reads and writes, the log its lines go
// to, and the report that is shown its bytes before and after.
struct FileWork {
  FileSystem& files;
  FileChangeLog& log;
  RunReport& report;
};

// A pass's conversion of one file; false for a UTF-16 file, left as it is.
using FileConversion = std::function<bool(const FileWork&, const std::string&, ChangeSink&)>;

class ReadOnlyOverlay {
 public:
  // `files`: where the left-out files are read from.
  ReadOnlyOverlay(FileSystem& files, const CommandList& commands, Console& console)
      : files_(files), report_(quiet_, commands, console) {}

  // A new pass: each file is converted at most once in it, under the first name it comes by.
  void BeginPass() { ++pass_; }
  // Converts the left-out file `name` by `convert`, from its bytes as the earlier passes of the
  // run left them, and counts its changes. A file that cannot be converted stays as it was.
  void Convert(const std::string& name, const FileIdentity& identity,
               const FileConversion& convert);

  // "NAME is read only: N changes left out" for each file with changes, in the order the files
  // were first left out.
  void Report(Console& console) const;
  std::size_t FilesWithChanges() const;

 private:
  struct LeftOut {
    std::string name;  // the name it was first left out under
    std::string bytes;
    bool converted = false;  // `bytes` hold what the passes so far made of it
    std::size_t changes = 0;
    unsigned pass = 0;  // the last pass that converted it
  };
  // A file by its identity where the system tells it, else by its name.
  using Key = std::pair<FileIdentity, std::string>;

  FileSystem& files_;
  Options quiet_;
  RunReport report_;  // shows nothing: the left-out files' changes count nowhere
  std::map<Key, std::size_t> index_;
  std::vector<LeftOut> leftOut_;
  unsigned pass_ = 0;
};

}  // namespace reshape
