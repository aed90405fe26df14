// The program's arguments: on POSIX the ones the system hands over; on Windows they are cut
// out of the one command-line text by the program itself, with the rule below.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace reshape::platform {

// The arguments of a command line given as one text, after its first word (the program's
// name). Runs of characters 1 to 32 separate words; a double quote opens a run, ended by the
// next double quote or the end of the text, in which those characters belong to the word; the
// quotes are dropped and nothing escapes them; runs that touch form one word. Arguments that
// come out empty are dropped.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The program's arguments without its own name, empty arguments dropped.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace reshape::platform
