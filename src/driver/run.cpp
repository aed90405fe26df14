#include "driver/run.h"

#include <algorithm>

#include "driver/change_log.h"
#include "driver/file_selection.h"
#include "driver/form_pass.h"
#include "driver/text_file_rewriter.h"
#include "base/errors.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "script/run_state.h"
#include "script/script_reader.h"
#include "source/project_renamer.h"
#include "source/source_renamer.h"
#include "source/unit_renamer.h"

namespace reshape {

namespace {

constexpr const char* kDefaultScript = "RESHAPE.SCR";

bool HasAny(const CommandList& commands, std::initializer_list<CommandKind> kinds) {
  return std::any_of(commands.begin(), commands.end(), [&](const TCommand& command) {
    return std::find(kinds.begin(), kinds.end(), command.Kind) != kinds.end();
  });
}

// A text pass: every file of the pass is rewritten through a fresh transform of type T; the
// rules are prepared once for all of them.
template <typename Transform, typename... RuleArguments>
void RunTextPass(std::initializer_list<std::string_view> masks, const std::string& suffix,
                 const std::vector<std::string>& namedFiles, RunState& state, Console& console,
                 const RuleArguments&... ruleArguments) {
  FileList files;
  CollectFiles(files, masks, namedFiles, console);
  typename Transform::Rules rules(state.Commands, ruleArguments...);
  for (const std::string& file : files) {
    state.CurrentFileName = file;
    console.Write(file + suffix);
    state.FileChanged = false;
    Transform transform(state, rules);
    RewriteTextFile(file, transform);
    console.WriteLine(state.FileChanged ? "Converted" : "No change");
  }
}

}  // namespace

ScriptFile ReadScript(const std::vector<std::string>& arguments, const std::string& executableDir) {
  ScriptFile script;
  std::string path;
  if (arguments.empty()) {
    script.ScriptFileName = kDefaultScript;
    path = executableDir + kDefaultScript;
  } else {
    script.ScriptFileName = arguments[0];
    path = arguments[0];
  }
  script.LogFileName = LogFileNameFor(script.ScriptFileName);

  TFileStream file(path, FileStreamMode::OpenRead);
  std::string text;
  char chunk[1 << 16];
  while (std::size_t got = file.Read(chunk, sizeof chunk)) text.append(chunk, got);
  script.Commands = ParseScript(text);
  return script;
}

bool HasClassOrStringRenames(const CommandList& commands) {
  return HasAny(commands, {CommandKind::RENC, CommandKind::RENS});
}
bool HasUnitRenames(const CommandList& commands) { return HasAny(commands, {CommandKind::RENU}); }
bool HasPropertyCommands(const CommandList& commands) {
  return HasAny(commands, {CommandKind::RENP, CommandKind::DELP, CommandKind::PSET});
}
bool HasPackageRenames(const CommandList& commands) { return HasAny(commands, {CommandKind::PKGR}); }

void Run(const std::vector<std::string>& arguments, const std::string& executableDir,
         Console& console) {
  ScriptFile script = ReadScript(arguments, executableDir);
  const CommandList& commands = script.Commands;
  std::vector<std::string> namedFiles;
  if (arguments.size() >= 2) namedFiles.assign(arguments.begin() + 1, arguments.end());

  platform::DirectoryLock runLock;
  if (int code = runLock.Acquire()) throw EInOutError(code);

  FileChangeLog log(script.LogFileName);
  RunState state(commands, log, platform::SystemCodePage());
  if (HasClassOrStringRenames(commands))
    RunTextPass<SourceLineTransform>({"*.PAS", "*.CPP", "*.HPP", "*.H"}, "...", namedFiles, state,
                                     console, state.SystemCodePage);
  if (HasUnitRenames(commands))
    RunTextPass<UnitLineTransform>({"*.PAS", "*.DPK"}, "...", namedFiles, state, console);
  if (HasPropertyCommands(commands) || HasClassOrStringRenames(commands))
    RunFormPass(namedFiles, state, console);
  if (HasPackageRenames(commands))
    RunTextPass<ProjectLineTransform>({"*.BPR"}, "...", namedFiles, state, console,
                                      state.SystemCodePage);
}

}  // namespace reshape
