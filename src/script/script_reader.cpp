#include "script/script_reader.h"

#include <array>
#include <optional>

#include "base/ascii_case.h"
#include "base/bytes.h"
#include "base/errors.h"
#include "base/path.h"

namespace reshape {

namespace {

constexpr std::size_t kKeywordLength = 5;

constexpr std::array<std::string_view, 7> kKeywordTable = {
    "RENC>", "RENP>", "DELP>", "PSET>", "RENU>", "PKGR>", "RENS>"};

bool IsPrintableAscii(char c) { return c >= ' ' && c <= '~'; }

// The commands whose two fields are split at the first comma: the fields, in the order of
// CommandKind.
constexpr std::pair<std::string TCommand::*, std::string TCommand::*> kPairCommands[] = {
    {&TCommand::ClassName, &TCommand::NewClassName}, {}, {}, {},
    {&TCommand::UnitName, &TCommand::NewUnitName},
    {&TCommand::PackageName, &TCommand::NewPackageName},
    {&TCommand::OldString, &TCommand::NewString},
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
      if (comma == 0) throw Failure(FailureKind::kScriptSyntax, {}, static_cast<int>(kind));
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
        throw Failure(FailureKind::kScriptSyntax, {}, static_cast<int>(kind));
      command.ClassName = between(k, colon);
      command.PropName = between(colon, equals);
      command.PropValue = between(equals, comma);
      command.NewPropName = between(comma, open);
      command.SetValue = between(open, close);
      break;
    }
    default: {
      const auto& pair = kPairCommands[static_cast<int>(kind)];
      if (comma == 0) throw Failure(FailureKind::kScriptSyntax, {}, static_cast<int>(kind));
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

ScriptLines::ScriptLines(std::string_view scriptText) : text_(scriptText) {
  if (text_.starts_with(kUtf8Mark)) text_.remove_prefix(kUtf8Mark.size());
  text_ = text_.substr(0, text_.find('\0'));
}

std::optional<std::string_view> ScriptLines::Next() {
  if (pos_ >= text_.size()) return std::nullopt;
  std::size_t end = pos_;
  while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
  const std::string_view line = text_.substr(pos_, end - pos_);
  pos_ = end + (text_.substr(end).starts_with("\r\n") ? 2 : 1);
  return line;
}

std::optional<CommandKind> KeywordOf(std::string_view line) {
  const std::string_view head = line.substr(0, kKeywordLength);
  for (std::size_t i = 0; i < kKeywordTable.size(); ++i)
    if (SameIgnoringAsciiCase(head, kKeywordTable[i])) return static_cast<CommandKind>(i);
  return std::nullopt;
}

CommandList ParseScript(std::string_view scriptText) {
  if (LooksLikeUtf16(scriptText)) throw Failure(FailureKind::kScriptInUtf16);
  CommandList commands;
  // Commands are large; growing the list one doubling at a time would copy a long script's
  // commands into fresh memory again and again. It is sized by the lines that hold one.
  std::size_t count = 0;
  for (ScriptLines lines(scriptText); const auto line = lines.Next();)
    count += KeywordOf(*line).has_value();
  commands.reserve(count);
  int number = 0;
  for (ScriptLines lines(scriptText); const auto line = lines.Next();) {
    ++number;
    if (std::optional<CommandKind> kind = KeywordOf(*line)) {
      TCommand& command = commands.emplace_back();
      ParseCommand(*kind, *line, command);
      command.ScriptLine = number;
      command.Text = *line;
    }
  }
  return commands;
}

std::string LogFileNameFor(std::string_view scriptFileName) {
  return FileBaseName(scriptFileName) + ".LOG";
}

}  // namespace reshape
