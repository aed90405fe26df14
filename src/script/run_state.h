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

struct RunState {
  RunState(const CommandList& commands, ChangeLogger& logger, CodePage codePage = CodePage())
      : Commands(commands), Log(logger), SystemCodePage(codePage) {}

  // Records a change to the current file: logs it and marks the file changed.
  void Changed(std::string_view message) {
    FileChanged = true;
    Log.LogChange(CurrentFileName, message);
  }

  const CommandList& Commands;
  ChangeLogger& Log;
  CodePage SystemCodePage;
  std::string CurrentFileName;
  bool FileChanged = false;
};

}  // namespace reshape
