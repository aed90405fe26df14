#include "script/script_reader.h"

#include <array>
#include <optional>

#include "base/ascii_case.h"
#include "base/errors.h"
#include "base/path.h"

namespace reshape {

namespace {

constexpr std::size_t kKeywordLength = 5;

constexpr std::array<std::string_view, 7> kKeywordTable = {
    "RENC>", "RENP>", "DELP>", "PSET>", "RENU>", "PKGR>", "RENS>"};

constexpr std::string_view kSourcePath = "N:\\Builds\\Common\\Reshape";

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsPrintableAscii(char c) { return c >= ' ' && c <= '~'; }

[[noreturn]] void SyntaxError(std::string_view syntaxText, int number) {
  throw EAssertionFailed(std::string(syntaxText) + " (" + std::string(kSourcePath) + ", line " +
                         std::to_string(number) + ")");
}

// The commands whose two fields are split at the first comma: syntax text, its line number and
// the fields, in the order of CommandKind.
struct PairCommand {
  std::string_view syntax;
  int number;
  std::string TCommand::*first;
  std::string TCommand::*second;
};
constexpr PairCommand kPairCommands[] = {
    {"Syntax error: RENC>TOldClassName,TNewClassName", 137, &TCommand::ClassName, &TCommand::NewClassName},
    {}, {}, {},
    {"Syntax error: RENU>OldUnitName,NewUnitName", 176, &TCommand::UnitName, &TCommand::NewUnitName},
    {"Syntax error: PKGR>OldPackageName,NewPackageName", 183, &TCommand::PackageName,
     &TCommand::NewPackageName},
    {"Syntax error: RENS>OldString,NewString", 189, &TCommand::OldString, &TCommand::NewString},
};

// Fills the fresh command in place: a long script's commands are not built twice.
void ParseCommand(CommandKind kind, std::string_view line, TCommand& command) {
  // Positions are 1-based as in the script syntax; 0 stands for "not in the line" (npos + 1).
  auto positionOf = [&](char c) { return line.find(c) + 1; };
  // The characters strictly between positions a and b, and those behind a.
  auto between = [&](std::size_t a, std::size_t b) {
    if (b <= a + 1) return std::string();
    return std::string(line.substr(a, b - a - 1));
  };
  auto after = [&](std::size_t a) { return a >= line.size() ? std::string() : std::string(line.substr(a)); };
  const std::size_t comma = positionOf(',');
  const std::size_t colon = positionOf(':');
  constexpr std::size_t k = kKeywordLength;
  command.Kind = kind;
  switch (kind) {
    case CommandKind::RENP:
      if (comma == 0) SyntaxError("Syntax error: RENP>TSomeClass.OldPropName,NewPropName", 143);
      if (colon > 0) command.ClassName = between(k, colon);
      command.PropName = between(colon > 0 ? colon : k, comma);
      command.NewPropName = after(comma);
      break;
    case CommandKind::DELP:
      if (colon > 0) command.ClassName = between(k, colon);
      command.PropName = after(colon > 0 ? colon : k);
      break;
    case CommandKind::PSET: {
      const std::size_t equals = positionOf('=');
      const std::size_t open = positionOf('[');
      const std::size_t close = positionOf(']');
      if (comma == 0 || colon == 0 || equals == 0 || open == 0 || close == 0)
        SyntaxError(
            "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue]",
            167);
      command.ClassName = between(k, colon);
      command.PropName = between(colon, equals);
      command.PropValue = between(equals, comma);
      command.NewPropName = between(comma, open);
      command.SetValue = between(open, close);
      break;
    }
    default: {
      const PairCommand& pair = kPairCommands[static_cast<int>(kind)];
      if (comma == 0) SyntaxError(pair.syntax, pair.number);
      command.*pair.first = between(k, comma);
      command.*pair.second = after(comma);
    }
  }
}

}  // namespace

bool LooksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  return text.size() >= 2 && ((IsPrintableAscii(text[0]) && text[1] == '\0') ||
                              (text[0] == '\0' && IsPrintableAscii(text[1])));
}

std::vector<std::string_view> ScriptLines(std::string_view scriptText) {
  if (scriptText.starts_with(kUtf8Mark)) scriptText.remove_prefix(kUtf8Mark.size());
  // Lines are taken one after another and never copied, so the time is linear in the text.
  scriptText = scriptText.substr(0, scriptText.find('\0'));
  std::vector<std::string_view> lines;
  for (std::size_t pos = 0; pos < scriptText.size();) {
    std::size_t end = pos;
    while (end < scriptText.size() && scriptText[end] != '\r' && scriptText[end] != '\n') ++end;
    lines.push_back(scriptText.substr(pos, end - pos));
    pos = end + (scriptText.substr(end).starts_with("\r\n") ? 2 : 1);
  }
  return lines;
}

std::optional<CommandKind> KeywordOf(std::string_view line) {
  const std::string_view head = line.substr(0, kKeywordLength);
  for (std::size_t i = 0; i < kKeywordTable.size(); ++i)
    if (SameIgnoringAsciiCase(head, kKeywordTable[i])) return static_cast<CommandKind>(i);
  return std::nullopt;
}

CommandList ParseScript(std::string_view scriptText) {
  if (LooksLikeUtf16(scriptText))
    throw EAssertionFailed("Script file is UTF-16; save it as ANSI or UTF-8");
  const std::vector<std::string_view> lines = ScriptLines(scriptText);
  CommandList commands;
  // Commands are large; growing the list one doubling at a time would copy a long script's
  // commands into fresh memory again and again.
  commands.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (std::optional<CommandKind> kind = KeywordOf(lines[i])) {
      TCommand& command = commands.emplace_back();
      ParseCommand(*kind, lines[i], command);
      command.ScriptLine = static_cast<int>(i) + 1;
      command.Text = lines[i];
    }
  }
  return commands;
}

std::string LogFileNameFor(std::string_view scriptFileName) {
  return FileBaseName(scriptFileName) + ".LOG";
}

}  // namespace reshape
