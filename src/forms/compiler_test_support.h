// Test support for the form compiler and the property rules: a run over the commands of a
// script, with its collected log lines and pending set list.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_compiler.h"
#include "platform/stream.h"
#include "script/run_state.h"
#include "script/script_reader.h"
#include "source/rewrite_test_support.h"

namespace reshape::test {

// One compilation's surroundings: commands, log, pending sets, context.
struct CompileRun {
  explicit CompileRun(std::string_view script = "") : commands(ParseScript(script)) {
    run.CurrentFileName = "Form1.dfm";
  }

  // The compiled stream (signature and root, no header).
  std::string Compile(std::string text) {
    TMemoryStream input(std::move(text));
    TMemoryStream compiled;
    CompileForm(input, compiled, context);
    return compiled.Bytes();
  }

  CommandList commands;
  RecordingLogger logger;
  RunState run{commands, logger};
  PendingSetList pending;
  FormCompileContext context{run, pending};
};

}  // namespace reshape::test
