// Fuzzes the script reader with arbitrary script texts: every input gives a command list or a
// syntax error, and every command is cut from one line of the text. The script check and the
// change records of its commands take any text too, and the diff of two halves of the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "base/path.h"
#include "driver/change_record.h"
#include "driver/script_check.h"
#include "driver/unified_diff.h"
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
    const std::string record = JsonChangeLine({text.substr(0, 8), 1, &command, text});
    fuzz::Check(record.ends_with("}\n") && std::count(record.begin(), record.end(), '\n') == 1,
                "a change record is not one line");
  }
  for (const std::string& problem : CheckScript("f.scr", text))
    fuzz::Check(problem.starts_with("f.scr:"), "a problem without the script's name");
  const std::string diff = UnifiedDiff("p", text.substr(0, size / 2), text.substr(size / 2));
  fuzz::Check(diff.empty() == (text.substr(0, size / 2) == text.substr(size / 2)),
              "a diff of equal texts, or none of different ones");

  std::string base = FileBaseName(text);
  fuzz::Check(base.find_first_of("\\:/.") == std::string::npos, "base name keeps a separator");
  std::string log = LogFileNameFor(text);
  fuzz::Check(log == base + ".LOG", "log name is not the base name with .LOG");
  return 0;
}
