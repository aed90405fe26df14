#include "driver/run_report.h"

#include <algorithm>
#include <utility>

#include "base/errors.h"
#include "driver/change_log.h"
#include "driver/change_record.h"
#include "driver/unified_diff.h"

namespace reshape {

namespace {

std::string Counted(std::size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

RunReport::RunReport(const Options& options, const CommandList& commands, Console& console)
    : options_(options),
      commands_(commands),
      console_(console),
      counts_(commands.size()),
      recordsChanges_(options.dryRun || options.summary || !options.jsonLog.empty()),
      keepsChanges_(options.dryRun || !options.jsonLog.empty()) {}

std::size_t RunReport::IndexOf(const TCommand& command) const {
  // Commands stand in script line order, one to a line.
  return static_cast<std::size_t>(
      std::lower_bound(commands_.begin(), commands_.end(), command.ScriptLine,
                       [](const TCommand& c, int line) { return c.ScriptLine < line; }) -
      commands_.begin());
}

void RunReport::AddCount(std::size_t index, std::size_t n) {
  Count& count = counts_[index];
  count.changes += n;
  if (count.lastFile != fileNumber_) ++count.files;
  count.lastFile = fileNumber_;
}

void RunReport::OpenJsonLog(FileSystem& files) {
  if (options_.jsonLog.empty()) return;
  std::unique_ptr<Held> held;
  IoResult created = files.WriteFile(options_.jsonLog, "", held);
  if (created.code != 0 || held->Release() != 0)
    throw Failure(FailureKind::kCannotCreate, options_.jsonLog);
  jsonFiles_ = &files;
}

void RunReport::Noted(const TCommand& command, int line, std::string_view message) {
  if (!recordsChanges_) return;
  if (keepsChanges_) {
    changes_.push_back({&command, line, std::string(message)});
    return;
  }
  // A summary alone needs no more than the numbers, whatever a file's number of changes.
  const std::size_t index = IndexOf(command);
  if (counts_[index].inFile++ == 0) countedInFile_.push_back(index);
}

void RunReport::BeginFile(const std::string& name) {
  file_ = name;
  changes_.clear();
  for (std::size_t index : countedInFile_) counts_[index].inFile = 0;
  countedInFile_.clear();
  before_ = after_ = std::string();
}

void RunReport::Rewritten(std::string_view before, std::string_view after) {
  if (!options_.diff) return;
  before_ = before;
  after_ = after;
}

void RunReport::FileDone() {
  if (options_.dryRun) {
    for (const Change& change : changes_) {
      std::string line = ChangeLogLine(file_, change.message);
      line.resize(line.size() - 2);  // the log's CR LF; the console ends lines its own way
      console_.WriteLine(line);
    }
  }
  // Both stay empty when the file was not rewritten or no diff is wanted.
  if (before_ != after_) console_.Write(UnifiedDiff(file_, before_, after_));
  std::string records;
  ++fileNumber_;
  for (const Change& change : changes_) {
    if (jsonFiles_) records += JsonChangeLine({file_, change.line, change.command, change.message});
    AddCount(IndexOf(*change.command), 1);
  }
  for (std::size_t index : countedInFile_) AddCount(index, std::exchange(counts_[index].inFile, 0));
  countedInFile_.clear();
  if (!records.empty()) CheckInOut(jsonFiles_->AppendToFile(options_.jsonLog, records));
}

void RunReport::FileFailed(std::string_view failureReport) {
  console_.Write(failureReport);
  failed_.insert(file_);
}

void RunReport::Finish(std::size_t leftOutFiles) {
  if (options_.summary) {
    for (std::size_t i = 0; i < commands_.size(); ++i) {
      const Count& count = counts_[i];
      std::string line = std::to_string(commands_[i].ScriptLine) + ": " + commands_[i].Text + ": " +
                         Counted(count.changes, "change", "changes") + " in " +
                         Counted(count.files, "file", "files");
      if (count.changes == 0) line += " (no change)";
      console_.WriteLine(line);
    }
    if (leftOutFiles > 0)
      console_.WriteLine("Read-only files with changes left out: " + std::to_string(leftOutFiles));
  }
  if (options_.keepGoing && !failed_.empty())
    console_.WriteLine("Failed files: " + std::to_string(failed_.size()));
}

}  // namespace reshape
