#include "driver/run.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/errors.h"
#include "driver/change_log.h"
#include "driver/failure_report.h"
#include "driver/file_changes.h"
#include "driver/file_selection.h"
#include "driver/form_pass.h"
#include "driver/read_only_overlay.h"
#include "driver/run_report.h"
#include "driver/script_check.h"
#include "driver/staged_file_system.h"
#include "driver/text_file_rewriter.h"
#include "platform/system.h"
#include "script/script_reader.h"
#include "source/project_renamer.h"
#include "source/source_renamer.h"
#include "source/unit_renamer.h"

namespace reshape {

namespace {

constexpr const char* kDefaultScript = "RESHAPE.SCR";

struct ScriptFile {
  std::string ScriptFileName;  // as typed, or "RESHAPE.SCR"
  std::string LogFileName;     // base name of the script + ".LOG", in the current directory
  std::string Text;
};

// Loads the script named by the first argument, or "RESHAPE.SCR" beside the executable when
// there is none. Fails when it cannot be opened or read.
ScriptFile ReadScript(FileSystem& files, const std::vector<std::string>& arguments,
                      const std::string& executableDir) {
  ScriptFile script;
  script.ScriptFileName = arguments.empty() ? kDefaultScript : arguments[0];
  const std::string path = arguments.empty() ? executableDir + kDefaultScript : arguments[0];
  script.LogFileName = LogFileNameFor(script.ScriptFileName);
  if (IoResult read = files.ReadFile(path, ReadFor::Reading, script.Text); read.code != 0) {
    // A failed read is no end of file: taking it for one would lose the script's commands.
    if (read.opened) throw Failure(FailureKind::kReadPastEnd);
    throw Failure(FailureKind::kCannotOpen, path);
  }
  return script;
}

bool HasAny(const CommandList& commands, std::initializer_list<CommandKind> kinds) {
  return std::any_of(commands.begin(), commands.end(), [&](const TCommand& command) {
    return std::find(kinds.begin(), kinds.end(), command.Kind) != kinds.end();
  });
}

// What every pass is handed.
struct Pass {
  const Options& options;
  const RunEnvironment& environment;
  const std::vector<std::string>& namedFiles;
  const CommandList& commands;
  CodePage codePage;
  FileSystem& files;
  FileChangeLog& log;
  Console& console;
  RunReport& report;
  // Converts the read-only files the passes leave out, when the run shows what they would get.
  ReadOnlyOverlay* leftOut;
  // What a preview holds back.
  StagedFileSystem* preview;
};

// One pass: for each file its progress line, its conversion by `convert` with the sink of its
// changes (false: a UTF-16 file, left as it is), then what the report shows of it. A failing
// file ends the run, or, in a run that goes on, is reported after its progress line and left
// as it was. Read-only files left out are converted in memory when the run shows their changes.
void RunPass(Pass& pass, std::initializer_list<std::string_view> masks, std::string_view suffix,
             const FileConversion& convert) {
  PassSelection selection{masks, pass.namedFiles, pass.options.recursive};
  if (pass.leftOut) {
    pass.leftOut->BeginPass();
    selection.leftOut = [&](const std::string& name, const FileIdentity& identity) {
      pass.leftOut->Convert(name, identity, convert);
    };
  }
  const FileWork work{pass.files, pass.log, pass.report};
  VisitPassFiles(pass.files, selection, pass.console, [&](const std::string& name) {
    pass.console.Write(name + std::string(suffix));
    pass.report.BeginFile(name);
    FileChanges changes(name, pass.log, pass.report);
    bool converted = false;
    try {
      converted = convert(work, name, changes);
    } catch (...) {
      if (!pass.options.keepGoing) throw;
      pass.log.Discard();
      pass.report.FileFailed(ReportCurrentFailure(pass.environment.moduleName));
      return;
    }
    pass.console.WriteLine(!converted ? "UTF-16, not converted"
                                      : changes.Any() ? "Converted" : "No change");
    pass.report.FileDone();
  });
}

// A text pass: every file of the pass is converted by a fresh transform of type Transform;
// the rules are prepared once for all of them.
template <typename Transform, typename... RuleArguments>
void RunTextPass(Pass& pass, std::initializer_list<std::string_view> masks,
                 const RuleArguments&... ruleArguments) {
  typename Transform::Rules rules(pass.commands, ruleArguments...);
  RunPass(pass, masks, "...", [&](const FileWork& work, const std::string& file, ChangeSink& changes) {
    return RewriteTextFile(
        work.files, work.log, file,
        [&](std::string_view bytes) { return ConvertText<Transform>(bytes, rules, changes); },
        work.report);
  });
}

// A text pass whose conversion depends on the kind of file, told by its name:
// convert(bytes, kindOf(name), rules, changes).
template <typename Rules, typename KindOf, typename Convert>
void RunFileKindPass(Pass& pass, std::initializer_list<std::string_view> masks, KindOf kindOf,
                     Convert convert) {
  Rules rules(pass.commands, pass.codePage);
  RunPass(pass, masks, "...",
          [&](const FileWork& work, const std::string& file, ChangeSink& changes) {
    return RewriteTextFile(
        work.files, work.log, file,
        [&](std::string_view bytes) { return convert(bytes, kindOf(file), rules, changes); },
        work.report);
  });
}

// The passes, each only when the script holds a command it serves.
void RunPasses(Pass& pass) {
  const CommandList& commands = pass.commands;
  const bool classOrString = HasAny(commands, {CommandKind::RENC, CommandKind::RENS});
  const std::initializer_list<std::string_view> sourceMasks = {"*.PAS", "*.CPP", "*.HPP", "*.H",
                                                               "*.DPR", "*.INC"},
                                                unitMasks = {"*.PAS", "*.DPK", "*.DPR", "*.INC",
                                                             "*.CPP", "*.HPP", "*.H"},
                                                formMasks = {"*.DFM"},
                                                projectMasks = {"*.BPR", "*.BPK", "*.DPROJ",
                                                                "*.CBPROJ", "*.DPK"};
  const std::initializer_list<std::string_view>* masks[] = {&sourceMasks, &unitMasks, &formMasks,
                                                            &projectMasks};
  const bool runs[] = {
      classOrString, HasAny(commands, {CommandKind::RENU}),
      classOrString || HasAny(commands, {CommandKind::RENP, CommandKind::DELP, CommandKind::PSET}),
      HasAny(commands, {CommandKind::PKGR})};
  // Whether pass `index` runs; a preview then keeps what it converts only for the files that a
  // later pass takes.
  const auto starts = [&](std::size_t index) {
    std::vector<std::string_view> later;
    for (std::size_t i = index + 1; i < std::size(runs); ++i)
      if (runs[i]) later.insert(later.end(), masks[i]->begin(), masks[i]->end());
    if (pass.preview && runs[index]) pass.preview->KeepOnlyFor(std::move(later));
    return runs[index];
  };
  if (starts(0)) RunTextPass<SourceLineTransform>(pass, sourceMasks, pass.codePage);
  if (starts(1)) RunFileKindPass<UnitRenameRules>(pass, unitMasks, UnitFileKindOf, ConvertUnits);
  if (starts(2)) {
    // The rules are prepared at the first form: a run over sources alone needs none.
    std::optional<FormPass> forms;
    RunPass(pass, formMasks, " ...",
            [&](const FileWork& work, const std::string& file, ChangeSink& changes) {
      if (!forms) forms.emplace(commands, pass.codePage);
      return forms->Convert(work.files, work.log, file, changes, work.report);
    });
  }
  if (starts(3))
    RunFileKindPass<ProjectRenameRules>(pass, projectMasks, ProjectFileKindOf, ConvertProject);
}

}  // namespace

bool CheckScriptFile(const Options& options, const RunEnvironment& environment, Console& console,
                     FileSystem& files) {
  const ScriptFile script = ReadScript(files, options.arguments, environment.executableDir);
  const std::vector<std::string> problems = CheckScript(script.ScriptFileName, script.Text);
  for (const std::string& problem : problems) console.WriteLine(problem);
  return problems.empty();
}

std::size_t Run(const Options& options, const RunEnvironment& environment, Console& console,
                FileSystem& files) {
  const ScriptFile script = ReadScript(files, options.arguments, environment.executableDir);
  const CommandList commands = ParseScript(script.Text);
  std::vector<std::string> namedFiles;
  if (options.arguments.size() >= 2)
    namedFiles.assign(options.arguments.begin() + 1, options.arguments.end());

  std::unique_ptr<Held> runLock;
  CheckInOut(files.LockDirectory(".", runLock));

  // A staged run converts into this and puts nothing in place before the end.
  std::optional<StagedFileSystem> staged;
  if (options.Staged())
    staged.emplace(files, environment.scratchPrefix, environment.stagingMemory,
                   options.dryRun ? Staging::Preview : Staging::AllOrNothing);
  FileSystem& target = staged ? static_cast<FileSystem&>(*staged) : files;

  RunReport report(options, commands, console);
  // A dry run's change records are the one file it writes.
  report.OpenJsonLog(options.dryRun ? files : target);
  FileChangeLog log(target, script.LogFileName);
  // A preview, an all-or-nothing run and a summary tell which read-only files would change.
  std::optional<ReadOnlyOverlay> leftOut;
  if (options.dryRun || options.atomic || options.summary) leftOut.emplace(target, commands, console);
  Pass pass{options, environment, namedFiles, commands, platform::SystemCodePage(),
            target,  log,         console,    report,   leftOut ? &*leftOut : nullptr,
            options.dryRun ? &*staged : nullptr};
  RunPasses(pass);
  const std::size_t leftOutFiles = leftOut ? leftOut->FilesWithChanges() : 0;
  if (leftOut) leftOut->Report(console);
  if (options.atomic) {
    // Every file migrated or none: with read-only files that would change, none.
    if (leftOutFiles > 0) {
      console.WriteLine("Nothing was changed");
      return leftOutFiles;
    }
    // Standard output that cannot be written fails the run before anything is put in place.
    console.Flush();
    if (!options.dryRun) staged->Commit(console);
  }
  report.Finish(leftOutFiles);
  return report.FailedFiles();
}

}  // namespace reshape
