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

// The kind whose keyword fills the first five characters of the line, ignoring letter case.
std::optional<CommandKind> KeywordOf(std::string_view line) {
  if (line.size() < kKeywordLength) return std::nullopt;
  std::string_view head = line.substr(0, kKeywordLength);
  for (std::size_t i = 0; i < kKeywordTable.size(); ++i)
    if (SameIgnoringAsciiCase(head, kKeywordTable[i])) return static_cast<CommandKind>(i);
  return std::nullopt;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsPrintableAscii(char c) { return c >= ' ' && c <= '~'; }

// A UTF-16 byte-order mark, or a first character whose other byte is NUL (UTF-16 without mark):
// read as bytes, such a script would lose its commands without a word.
bool LooksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  return text.size() >= 2 && ((IsPrintableAscii(text[0]) && text[1] == '\0') ||
                              (text[0] == '\0' && IsPrintableAscii(text[1])));
}

[[noreturn]] void SyntaxError(std::string_view syntaxText, int number) {
  std::string message(syntaxText);
  message += " (";
  message += kSourcePath;
  message += ", line ";
  message += std::to_string(number);
  message += ")";
  throw EAssertionFailed(std::move(message));
}

// Positions are 1-based as in the script syntax; 0 stands for "not in the line".
class FieldCutter {
 public:
  explicit FieldCutter(std::string_view line) : line_(line) {}

  std::size_t PositionOf(char c) const {
    std::size_t found = line_.find(c);
    return found == std::string_view::npos ? 0 : found + 1;
  }
  // The characters strictly between positions a and b.
  std::string Between(std::size_t a, std::size_t b) const {
    if (b <= a + 1) return {};
    return std::string(line_.substr(a, b - a - 1));
  }
  // The characters behind position a up to the end of the line.
  std::string After(std::size_t a) const {
    if (a >= line_.size()) return {};
    return std::string(line_.substr(a));
  }

 private:
  std::string_view line_;
};

TCommand ParseCommand(CommandKind kind, std::string_view line) {
  FieldCutter cut(line);
  const std::size_t comma = cut.PositionOf(',');
  const std::size_t colon = cut.PositionOf(':');
  constexpr std::size_t k = kKeywordLength;
  TCommand command;
  command.Kind = kind;
  switch (kind) {
    case CommandKind::RENC:
      if (comma == 0) SyntaxError("Syntax error: RENC>TOldClassName,TNewClassName", 137);
      command.ClassName = cut.Between(k, comma);
      command.NewClassName = cut.After(comma);
      break;
    case CommandKind::RENP: {
      if (comma == 0) SyntaxError("Syntax error: RENP>TSomeClass.OldPropName,NewPropName", 143);
      std::size_t q = k;
      if (colon > 0) {
        command.ClassName = cut.Between(k, colon);
        q = colon;
      }
      command.PropName = cut.Between(q, comma);
      command.NewPropName = cut.After(comma);
      break;
    }
    case CommandKind::DELP: {
      std::size_t q = k;
      if (colon > 0) {
        command.ClassName = cut.Between(k, colon);
        q = colon;
      }
      command.PropName = cut.After(q);
      break;
    }
    case CommandKind::PSET: {
      const std::size_t equals = cut.PositionOf('=');
      const std::size_t open = cut.PositionOf('[');
      const std::size_t close = cut.PositionOf(']');
      if (comma == 0 || colon == 0 || equals == 0 || open == 0 || close == 0)
        SyntaxError(
            "Syntax error: PSET>TSomeClassName:OldPropName=PropValue,SetName[NewPropSetValue]",
            167);
      command.ClassName = cut.Between(k, colon);
      command.PropName = cut.Between(colon, equals);
      command.PropValue = cut.Between(equals, comma);
      command.NewPropName = cut.Between(comma, open);
      command.SetValue = cut.Between(open, close);
      break;
    }
    case CommandKind::RENU:
      if (comma == 0) SyntaxError("Syntax error: RENU>OldUnitName,NewUnitName", 176);
      command.UnitName = cut.Between(k, comma);
      command.NewUnitName = cut.After(comma);
      break;
    case CommandKind::PKGR:
      if (comma == 0) SyntaxError("Syntax error: PKGR>OldPackageName,NewPackageName", 183);
      command.PackageName = cut.Between(k, comma);
      command.NewPackageName = cut.After(comma);
      break;
    case CommandKind::RENS:
      if (comma == 0) SyntaxError("Syntax error: RENS>OldString,NewString", 189);
      command.OldString = cut.Between(k, comma);
      command.NewString = cut.After(comma);
      break;
  }
  return command;
}

}  // namespace

CommandList ParseScript(std::string_view scriptText) {
  if (LooksLikeUtf16(scriptText))
    throw EAssertionFailed("Script file is UTF-16; save it as ANSI or UTF-8");
  if (scriptText.starts_with(kUtf8Mark)) scriptText.remove_prefix(kUtf8Mark.size());
  // Lines are taken one after another and never copied, so the time is linear in the text.
  scriptText = scriptText.substr(0, scriptText.find('\0'));
  CommandList commands;
  std::size_t pos = 0;
  while (pos < scriptText.size()) {
    std::size_t end = scriptText.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = scriptText.size();
    std::string_view line = scriptText.substr(pos, end - pos);
    pos = end;
    if (pos < scriptText.size()) {
      if (scriptText[pos] == '\r' && pos + 1 < scriptText.size() && scriptText[pos + 1] == '\n')
        ++pos;
      ++pos;
    }
    if (std::optional<CommandKind> kind = KeywordOf(line))
      commands.push_back(ParseCommand(*kind, line));
  }
  return commands;
}

std::string LogFileNameFor(std::string_view scriptFileName) {
  return FileBaseName(scriptFileName) + ".LOG";
}

}  // namespace reshape
