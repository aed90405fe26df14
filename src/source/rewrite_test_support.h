// Test helpers for the line transforms: a change logger that keeps its lines, and a run of a
// whole file's text through a transform built over a fresh run state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/run_state.h"
#include "script/script_reader.h"
#include "source/text_lines.h"

namespace reshape::test {

// Keeps each change as "FILE> message", the way the change log writes it minus the case change.
struct RecordingLogger : ChangeLogger {
  void LogChange(std::string_view fileName, std::string_view message) override {
    lines.push_back(std::string(fileName) + "> " + std::string(message));
  }
  std::vector<std::string> lines;
};

struct RewriteResult {
  std::string text;
  std::vector<std::string> log;
  bool changed;
};

// Rewrites fileText with a Transform built over the commands of script, as for a file "F".
template <typename Transform>
RewriteResult Rewrite(std::string_view script, std::string_view fileText) {
  const CommandList commands = ParseScript(script);
  RecordingLogger logger;
  RunState state(commands, logger);
  state.CurrentFileName = "F";
  Transform transform(state);
  return {RewriteText(fileText, transform).value_or(std::string(fileText)), logger.lines,
          state.FileChanged};
}

}  // namespace reshape::test
