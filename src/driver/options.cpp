#include "driver/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace reshape {

namespace {

// An argument that begins with "-" is an option even where an option's argument is expected.
void CheckOptionArguments(const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i)
    if (arguments[i] == "--json-log" &&
        (i + 1 == arguments.size() || arguments[i + 1].starts_with("-")))
      throw UsageError("--json-log needs a file name");
}

bool AsksFor(const std::vector<std::string>& arguments, std::initializer_list<const char*> names) {
  const auto end = std::find(arguments.begin(), arguments.end(), "--");
  return std::find_first_of(arguments.begin(), end, names.begin(), names.end()) != end;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  if (AsksFor(arguments, {"-h", "--help"})) return {Request::Help, {}};
  if (AsksFor(arguments, {"--version"})) return {Request::Version, {}};
  CheckOptionArguments(arguments);
  CommandLine line;
  Options& options = line.options;
  CLI::App app;
  app.set_help_flag();
  app.add_flag("-r,--recursive", options.recursive);
  app.add_flag("-n,--dry-run", options.dryRun);
  app.add_flag("--diff", options.diff);
  app.add_flag("--atomic", options.atomic);
  app.add_flag("-k,--keep-going", options.keepGoing);
  app.add_flag("--summary", options.summary);
  app.add_flag("--check", options.check);
  CLI::Option* jsonLog = app.add_option("--json-log", options.jsonLog);
  app.add_option("arguments", options.arguments);
  // CLI11 takes the arguments last to first.
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    throw UsageError(error.what());
  }
  if (jsonLog->count() > 0 && options.jsonLog.empty()) throw UsageError("--json-log needs a file name");
  const bool anyOther = options.recursive || options.dryRun || options.diff || options.atomic ||
                        options.keepGoing || options.summary || jsonLog->count() > 0;
  if (options.atomic && options.keepGoing) throw UsageError("--atomic and -k exclude each other");
  if (options.check && anyOther) throw UsageError("--check takes no other option");
  if (options.recursive && options.arguments.size() > 1)
    throw UsageError("-r works on the whole tree, not on named files");
  return line;
}

}  // namespace reshape
