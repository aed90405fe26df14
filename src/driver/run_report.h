// What a run with options shows besides the progress lines, and writes besides the change log:
// a dry run's log lines, each file's diff, JSON change records, the summary of what each command
// changed, and the files that failed in a run that keeps going.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "driver/options.h"
#include "platform/file_system.h"
#include "script/command.h"

namespace reshape {

class RunReport {
 public:
  RunReport(const Options& options, const CommandList& commands, Console& console);

  // Creates the JSON file anew, empty, through `files`; fails when it cannot.
  void OpenJsonLog(FileSystem& files);
  bool WantsDiff() const { return options_.diff; }

  // A change of the current file, with its log message; kept only when the options show
  // changes, and only counted when they just count them.
  void Noted(const TCommand& command, int line, std::string_view message);
  void BeginFile(const std::string& name);
  // The file's bytes before and after the run (a binary form's as its text forms).
  void Rewritten(std::string_view before, std::string_view after);
  // After the file's progress line: its log lines (dry run), its diff, its change records.
  void FileDone();
  // A file that failed in a run that goes on: its failure report follows its progress line,
  // and nothing of it is counted.
  void FileFailed(std::string_view failureReport);
  // The summary lines (the last counting the read-only files left out that the script would
  // have changed) and the failed-files line.
  void Finish(std::size_t leftOutFiles);
  std::size_t FailedFiles() const { return failed_.size(); }

 private:
  struct Change {
    const TCommand* command;
    int line;
    std::string message;
  };
  struct Count {
    std::size_t changes = 0;
    std::size_t files = 0;
    std::size_t lastFile = 0;  // the number of the file last counted in `files`
    std::size_t inFile = 0;    // the current file's changes, counted without keeping them
  };
  // The position of a command in the script's command list.
  std::size_t IndexOf(const TCommand& command) const;
  // Adds n changes of the file just done to the command's count.
  void AddCount(std::size_t index, std::size_t n);

  const Options& options_;
  const CommandList& commands_;
  Console& console_;
  FileSystem* jsonFiles_ = nullptr;
  std::string file_;
  std::vector<Change> changes_;
  std::string before_;
  std::string after_;
  std::vector<Count> counts_;
  std::vector<std::size_t> countedInFile_;  // the commands whose inFile is not 0
  std::size_t fileNumber_ = 0;  // files done so far, counting the current one
  std::set<std::string> failed_;
  bool recordsChanges_;
  bool keepsChanges_;  // each change is shown or written, not only counted
};

}  // namespace reshape
