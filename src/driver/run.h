// One run of reshape: read the script, then the source, unit, form and project passes, each
// only when the script holds a command it serves.
#pragma once

#include <string>
#include <vector>

#include "driver/console.h"
#include "platform/file_system.h"
#include "script/command.h"

namespace reshape {

struct ScriptFile {
  std::string ScriptFileName;  // as typed, or "RESHAPE.SCR"
  std::string LogFileName;     // base name of the script + ".LOG", in the current directory
  CommandList Commands;
};

// Loads the script named by the first argument, or "RESHAPE.SCR" beside the executable when
// there is none. Fails with EFOpenError or the script's syntax error.
ScriptFile ReadScript(FileSystem& files, const std::vector<std::string>& arguments,
                      const std::string& executableDir);

bool HasClassOrStringRenames(const CommandList& commands);
bool HasUnitRenames(const CommandList& commands);
bool HasPropertyCommands(const CommandList& commands);
bool HasPackageRenames(const CommandList& commands);

// The whole run over the current directory, whose files it touches only through `files`;
// arguments exclude the program name and empty arguments. Returns normally after a complete
// run and throws the failure that ended it.
void Run(const std::vector<std::string>& arguments, const std::string& executableDir,
         Console& console, FileSystem& files);

}  // namespace reshape
