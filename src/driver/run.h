// One run of reshape: read the script, then the source, unit, form and project passes, each
// only when the script holds a command it serves.
#pragma once

#include <cstddef>
#include <string>

#include "driver/console.h"
#include "driver/options.h"
#include "platform/file_system.h"
#include "script/command.h"

namespace reshape {

// Where the run is: what the failure reports of a run that goes on name as the module, and
// where staged files go when they do not fit in memory (a directory and a prefix unique to
// the process).
struct RunEnvironment {
  std::string executableDir;
  std::string moduleName;
  std::string scratchPrefix;
  std::size_t stagingMemory = std::size_t{8} << 20;  // bytes of staged files held in memory
};

// The whole run over the current directory (and below it when recursive), whose files it
// touches only through `files`. Returns the number of files that a run that goes on left as
// they were, after a complete run (for an all-or-nothing run that put nothing in place because
// read-only files would change: their number), and throws the failure that ended it. A failed
// all-or-nothing run has left every file as it was, unless the failure says otherwise.
std::size_t Run(const Options& options, const RunEnvironment& environment, Console& console,
                FileSystem& files);

// Reads the script and prints each problem found in it, with the script's name and line;
// true when there is none. Touches no file.
bool CheckScriptFile(const Options& options, const RunEnvironment& environment, Console& console,
                     FileSystem& files);

}  // namespace reshape
