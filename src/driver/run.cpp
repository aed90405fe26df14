#include "driver/run.h"

#include <algorithm>
#include <memory>

#include "driver/change_log.h"
#include "driver/file_selection.h"
#include "driver/form_pass.h"
#include "driver/text_file_rewriter.h"
#include "base/errors.h"
#include "platform/system.h"
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
                 const std::vector<std::string>& namedFiles, FileSystem& fileSystem,
                 FileChangeLog& log, RunState& state, Console& console,
                 const RuleArguments&... ruleArguments) {
  FileList files;
  CollectFiles(fileSystem, files, masks, namedFiles, console);
  typename Transform::Rules rules(state.Commands, ruleArguments...);
  for (const std::string& file : files) {
    state.CurrentFileName = file;
    console.Write(file + suffix);
    state.FileChanged = false;
    Transform transform(state, rules);
    if (!RewriteTextFile(fileSystem, log, file, transform))
      console.WriteLine("UTF-16, not converted");
    else
      console.WriteLine(state.FileChanged ? "Converted" : "No change");
  }
}

}  // namespace

ScriptFile ReadScript(FileSystem& files, const std::vector<std::string>& arguments,
                      const std::string& executableDir) {
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

  std::string text;
  if (IoResult read = files.ReadFile(path, ReadFor::Reading, text); read.code != 0) {
    // A failed read is no end of file: taking it for one would lose the script's commands.
    if (read.opened) throw EReadError("Stream read error");
    throw EFOpenError("Cannot open file " + path);
  }
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
         Console& console, FileSystem& files) {
  ScriptFile script = ReadScript(files, arguments, executableDir);
  const CommandList& commands = script.Commands;
  std::vector<std::string> namedFiles;
  if (arguments.size() >= 2) namedFiles.assign(arguments.begin() + 1, arguments.end());

  std::unique_ptr<Held> runLock;
  if (int code = files.LockDirectory(".", runLock)) throw EInOutError(code);

  FileChangeLog log(files, script.LogFileName);
  RunState state(commands, log, platform::SystemCodePage());
  if (HasClassOrStringRenames(commands))
    RunTextPass<SourceLineTransform>({"*.PAS", "*.CPP", "*.HPP", "*.H"}, "...", namedFiles, files,
                                     log, state, console, state.SystemCodePage);
  if (HasUnitRenames(commands))
    RunTextPass<UnitLineTransform>({"*.PAS", "*.DPK"}, "...", namedFiles, files, log, state,
                                   console);
  if (HasPropertyCommands(commands) || HasClassOrStringRenames(commands))
    RunFormPass(files, log, namedFiles, state, console);
  if (HasPackageRenames(commands))
    RunTextPass<ProjectLineTransform>({"*.BPR"}, "...", namedFiles, files, log, state,
                                      console, state.SystemCodePage);
}

}  // namespace reshape
