// Entry point: the command line, the run, and the failure report for anything that ends it
// early.
#include <string>
#include <vector>

#include "base/path.h"
#include "driver/console.h"
#include "driver/failure_report.h"
#include "driver/options.h"
#include "driver/run.h"
#include "driver/usage.h"
#include "platform/command_line.h"
#include "platform/system.h"
#include "platform/system_file_system.h"

namespace {

// The exit codes: a complete run, a failure (or files left as they were), a command line that
// cannot be read.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  namespace platform = reshape::platform;
  const std::string executable = platform::ExecutablePath(argc > 0 ? argv[0] : nullptr);
  const std::string module(reshape::NamePart(executable));
  const std::vector<std::string> arguments = platform::ProgramArguments(argc, argv);
  bool atomic = false;
  try {
    reshape::Console console(!platform::StandardOutputIsTerminal());
    const reshape::CommandLine line = reshape::ParseCommandLine(arguments);
    if (line.request != reshape::Request::Run) {
      console.Write(line.request == reshape::Request::Help ? std::string(reshape::UsageText())
                                                           : reshape::VersionText());
      console.Flush();
      return kSuccess;
    }
    platform::SystemFileSystem files;
    const reshape::RunEnvironment environment{
        platform::DirectoryOf(executable), module,
        platform::TemporaryDirectory() + "reshape-" + std::to_string(platform::ProcessId()) + "-"};
    // What the console collected is written before the exit code is decided: a run whose
    // report could not be written has not succeeded.
    if (line.options.check) {
      const bool clean = reshape::CheckScriptFile(line.options, environment, console, files);
      console.Flush();
      return clean ? kSuccess : kFailure;
    }
    atomic = line.options.atomic;
    const std::size_t failedFiles = reshape::Run(line.options, environment, console, files);
    console.Flush();
    return failedFiles == 0 ? kSuccess : kFailure;
  } catch (const reshape::UsageError& error) {
    platform::WriteStandardError("reshape: " + std::string(error.what()) + "\n\n" +
                                 std::string(reshape::UsageText()));
    return kUsage;
  } catch (...) {
    // If even the report cannot be written, the exit code still tells.
    std::string report = reshape::ReportCurrentFailure(module);
    if (atomic && reshape::CurrentFailureLeftTreeAsItWas()) report += "Nothing was changed\n";
    platform::WriteStandardOutput(report);
  }
  return kFailure;
}
