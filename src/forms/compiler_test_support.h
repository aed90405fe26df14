// Test support for the form compiler: a compilation over the commands of a script, with its
// collected log lines.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_compiler.h"
#include "script/run_state.h"
#include "script/script_reader.h"
#include "source/rewrite_test_support.h"

namespace reshape::test {

struct CompileRun {
  explicit CompileRun(std::string_view script = "") : commands(ParseScript(script)) {
    run.CurrentFileName = "Form1.dfm";
  }

  // The compiled stream (signature and root, no header).
  std::string Compile(std::string_view text) {
    std::string compiled;
    CompileFormStream(text, rules, run, compiled);
    return compiled;
  }

  CommandList commands;
  FormRules rules{commands};
  RecordingLogger logger;
  RunState run{commands, logger};
};

}  // namespace reshape::test
