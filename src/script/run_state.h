// The state of one run that the driver owns and hands to the rules: the commands, the file
// under work, whether a rule changed it, and where changes are logged.
#pragma once

#include <string>
#include <string_view>

#include "base/code_page.h"
#include "script/command.h"

namespace reshape {

// Receives one line per change. The driver's implementation appends to the change log file;
// tests collect the lines.
class ChangeLogger {
 public:
  virtual ~ChangeLogger() = default;
  virtual void LogChange(std::string_view fileName, std::string_view message) = 0;
};

// Receives every change with the command that made it and the line it is on, for reports
// beyond the change log; set only when such a report is wanted.
class ChangeObserver {
 public:
  virtual ~ChangeObserver() = default;
  // line: from 1 in the source file or the form's text form; 0 where there is none.
  virtual void Noted(const TCommand& command, int line, std::string_view message) = 0;
};

struct RunState {
  RunState(const CommandList& commands, ChangeLogger& logger, CodePage codePage = CodePage())
      : Commands(commands), Log(logger), SystemCodePage(codePage) {}

  // Records a change to the current file by the command: logs it and marks the file changed.
  void Changed(const TCommand& command, std::string_view message, int line = 0) {
    FileChanged = true;
    Log.LogChange(CurrentFileName, message);
    if (Observer) Observer->Noted(command, line, message);
  }

  const CommandList& Commands;
  ChangeLogger& Log;
  CodePage SystemCodePage;
  std::string CurrentFileName;
  bool FileChanged = false;
  ChangeObserver* Observer = nullptr;
};

}  // namespace reshape
