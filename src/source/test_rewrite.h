// Test helpers for the line transforms: a change sink that keeps its changes as log lines, and
// a run of a whole file's text through a transform over rules prepared from a script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "driver/change_message.h"
#include "script/change.h"
#include "script/script_reader.h"
#include "source/text_lines.h"

namespace reshape::test {

// Keeps each change as "FILE> message", the way the change log writes it minus the case change.
struct RecordingSink : ChangeSink {
  explicit RecordingSink(std::string name = "F") : fileName(std::move(name)) {}
  void Add(const Change& change) override {
    lines.push_back(fileName + "> " + ChangeMessage(change));
    numbers.push_back(change.line);
  }
  std::string fileName;
  std::vector<std::string> lines;
  std::vector<int> numbers;  // of the lines changed
};

struct RewriteResult {
  std::string text;
  std::vector<std::string> log;
  bool changed;
  std::vector<int> numbers;  // the line of each change
};

// Rewrites fileText with a Transform over the commands of script, as for a file "F".
template <typename Transform>
RewriteResult Rewrite(std::string_view script, std::string_view fileText,
                      CodePage codePage = CodePage()) {
  const CommandList commands = ParseScript(script);
  typename Transform::Rules rules(commands, codePage);
  RecordingSink sink;
  const std::optional<std::string> rewritten = ConvertText<Transform>(fileText, rules, sink);
  return {rewritten.value_or(std::string(fileText)), sink.lines, !sink.lines.empty(), sink.numbers};
}

}  // namespace reshape::test
