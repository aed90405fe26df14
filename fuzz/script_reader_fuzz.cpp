// Fuzzes the script reader with arbitrary script texts: every input gives a command list or a
// syntax error, and every command is cut from one line of the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "base/path.h"
#include "script/script_reader.h"

using namespace reshape;

namespace {

bool HoldsLineBreak(const TCommand& command) {
  for (const std::string* field :
       {&command.ClassName, &command.NewClassName, &command.PropName, &command.NewPropName,
        &command.PropValue, &command.SetValue, &command.UnitName, &command.NewUnitName,
        &command.PackageName, &command.NewPackageName, &command.OldString, &command.NewString})
    if (field->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::AsText(data, size);
  CommandList commands;
  fuzz::Accepts([&] { commands = ParseScript(text); });
  std::string_view used = text.substr(0, text.find('\0'));
  std::size_t lines = 1 + static_cast<std::size_t>(std::count_if(
                              used.begin(), used.end(), [](char c) { return c == '\n' || c == '\r'; }));
  fuzz::Check(commands.size() <= lines, "more commands than lines");
  for (const TCommand& command : commands) {
    fuzz::Check(static_cast<int>(command.Kind) <= static_cast<int>(CommandKind::RENS),
                "command kind out of range");
    fuzz::Check(!HoldsLineBreak(command), "a command field holds a line break or NUL");
  }

  std::string base = FileBaseName(text);
  fuzz::Check(base.find_first_of("\\:/.") == std::string::npos, "base name keeps a separator");
  std::string log = LogFileNameFor(text);
  fuzz::Check(log == base + ".LOG", "log name is not the base name with .LOG");
  return 0;
}
