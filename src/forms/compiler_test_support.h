// Test support for the form compiler and the property rules: a run with its own commands,
// collected log lines and pending set list, and short ways to write script commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "forms/form_compiler.h"
#include "platform/stream.h"
#include "script/run_state.h"

namespace reshape::test {

class CollectingLogger : public ChangeLogger {
 public:
  void LogChange(std::string_view fileName, std::string_view message) override {
    lines.push_back(std::string(fileName) + "> " + std::string(message));
  }
  std::vector<std::string> lines;
};

inline TCommand Renc(std::string className, std::string newClassName) {
  TCommand c;
  c.Kind = CommandKind::RENC;
  c.ClassName = std::move(className);
  c.NewClassName = std::move(newClassName);
  return c;
}

inline TCommand Renp(std::string className, std::string propName, std::string newPropName) {
  TCommand c;
  c.Kind = CommandKind::RENP;
  c.ClassName = std::move(className);
  c.PropName = std::move(propName);
  c.NewPropName = std::move(newPropName);
  return c;
}

inline TCommand Delp(std::string className, std::string propName) {
  TCommand c;
  c.Kind = CommandKind::DELP;
  c.ClassName = std::move(className);
  c.PropName = std::move(propName);
  return c;
}

// PSET>className:propName=propValue,setName[element]
inline TCommand Pset(std::string className, std::string propName, std::string propValue,
                     std::string setName, std::string element) {
  TCommand c;
  c.Kind = CommandKind::PSET;
  c.ClassName = std::move(className);
  c.PropName = std::move(propName);
  c.PropValue = std::move(propValue);
  c.NewPropName = std::move(setName);
  c.SetValue = std::move(element);
  return c;
}

// One compilation's surroundings: commands, log, pending sets, context.
struct CompileRun {
  explicit CompileRun(CommandList list = {}) : commands(std::move(list)) {
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
  CollectingLogger logger;
  RunState run{commands, logger};
  PendingSetList pending;
  FormCompileContext context{run, pending};
};

}  // namespace reshape::test
