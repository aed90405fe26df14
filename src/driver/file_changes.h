// The sink that the driver hands a converter for one file: each change becomes a line of the
// change log, collected until the file is put in place, and is shown to the run's report.
#pragma once

#include <string>

#include "driver/change_log.h"
#include "driver/run_report.h"
#include "script/change.h"

namespace reshape {

class FileChanges final : public ChangeSink {
 public:
  FileChanges(const std::string& fileName, FileChangeLog& log, RunReport& report)
      : fileName_(fileName), log_(log), report_(report) {}

  void Add(const Change& change) override;
  // Whether a command changed the file: its progress line says "Converted".
  bool Any() const { return any_; }

 private:
  const std::string& fileName_;
  FileChangeLog& log_;
  RunReport& report_;
  bool any_ = false;
  // The message of the change before, made again only for a change that differs from it:
  // the changes of a command come in runs, one for each occurrence in a line.
  std::string message_;
  const TCommand* command_ = nullptr;
  ChangeKind kind_ = ChangeKind::ClassRenamed;
  std::string from_;
  std::string to_;
};

}  // namespace reshape
