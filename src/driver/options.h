// The command line: the options of a run, then the script and file names as the plain program
// reads them. Arguments that begin with "-" are options wherever they stand; "--" ends them.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace reshape {

struct Options {
  bool recursive = false;
  bool dryRun = false;
  bool diff = false;
  bool atomic = false;
  bool keepGoing = false;
  bool summary = false;
  bool check = false;
  std::string jsonLog;  // empty: no change records
  // The script, then the named files; empty arguments are already dropped.
  std::vector<std::string> arguments;

  // Converted files are held back until the whole run has converted them.
  bool Staged() const { return dryRun || atomic; }
};

enum class Request { Run, Help, Version };

struct CommandLine {
  Request request = Request::Run;
  Options options;
};

// A command line that cannot be read: main prints the usage to standard error and exits 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the arguments (without the program name). "-h", "--help" and "--version" anywhere
// before "--" ask for usage or version. Throws UsageError for an unknown option, a missing
// option argument, "--atomic" with "-k", "--check" with another option, or "-r" with named files.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace reshape
