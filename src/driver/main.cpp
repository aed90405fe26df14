// Entry point: the run, and the failure report for anything that ends it early.
#include <new>
#include <string>
#include <vector>

#include "driver/console.h"
#include "driver/failure_report.h"
#include "driver/file_selection.h"
#include "driver/run.h"
#include "driver/usage.h"
#include "platform/command_line.h"
#include "base/errors.h"
#include "platform/system.h"
#include "platform/system_file_system.h"

namespace {

void Report(const std::string& executable, std::string_view kind, unsigned long address,
            std::string_view message) {
  std::string module(reshape::NamePart(executable));
  // If even the report cannot be written, the exit code still tells.
  reshape::platform::WriteStandardOutput(reshape::FailureReport(kind, module, address, message));
}

}  // namespace

int main(int argc, char** argv) {
  std::string executable = reshape::platform::ExecutablePath(argc > 0 ? argv[0] : nullptr);
  std::vector<std::string> arguments = reshape::platform::ProgramArguments(argc, argv);

  try {
    reshape::Console console;
    if (arguments.size() == 1 && reshape::HandleInformationOption(arguments[0], console)) return 0;
    reshape::platform::SystemFileSystem files;
    reshape::Run(arguments, reshape::platform::DirectoryOf(executable), console, files);
    return 0;
  } catch (const reshape::Exception& failure) {
    Report(executable, failure.ClassName(), failure.Address(), failure.Message());
  } catch (const std::bad_alloc&) {
    Report(executable, "EOutOfMemory", 0, "Out of memory");
  } catch (const std::exception& failure) {
    Report(executable, "Exception", 0, failure.what());
  }
  return 1;
}
