#include "platform/command_line.h"

#include "platform/windows_api.h"

namespace reshape::platform {

// The C runtime's argv follows other quoting rules and expands wildcards, so the program reads
// the command line as the system hands it over.
std::vector<std::string> ProgramArguments(int, char**) {
  const char* commandLine = ::GetCommandLineA();
  return SplitCommandLine(commandLine != nullptr ? commandLine : "");
}

}  // namespace reshape::platform
