#include "source/unit_renamer.h"

#include <array>
#include <string_view>

#include "base/ascii_case.h"
#include "source/word_scan.h"

namespace reshape {

namespace {

// Words that end a uses clause; the line holding one is not part of it.
constexpr std::array<std::string_view, 8> kUsesEndKeywords = {
    "BEGIN", "PROCEDURE", "FUNCTION", "TYPE", "CONST", "VAR", "INTERFACE", "USES"};
constexpr std::size_t kLongestKeyword = 9;

// Which of the words that steer the unit pass a line holds, in any letter case.
struct LineKeywords {
  bool usesEnd = false;
  bool uses = false;
  bool unit = false;
};

// One scan over the words, keeping none of them: a long line costs no copy.
LineKeywords FindKeywords(std::string_view line) {
  LineKeywords found;
  ScanSourceWords(line, [&found, line](std::size_t start, std::size_t length) {
    if (length > kLongestKeyword) return true;
    const std::string_view word = line.substr(start, length);
    for (std::string_view keyword : kUsesEndKeywords)
      if (SameIgnoringAsciiCase(word, keyword)) found.usesEnd = true;
    if (SameIgnoringAsciiCase(word, "USES")) found.uses = true;
    if (SameIgnoringAsciiCase(word, "UNIT")) found.unit = true;
    return true;
  });
  return found;
}

std::vector<const TCommand*> UnitRenames(const CommandList& commands) {
  std::vector<const TCommand*> result;
  for (const TCommand& command : commands)
    if (command.Kind == CommandKind::RENU) result.push_back(&command);
  return result;
}

WholeWordRenames RenameIndex(const std::vector<const TCommand*>& commands) {
  std::vector<WholeWordRenames::Rename> renames;
  for (const TCommand* command : commands)
    renames.push_back({command->UnitName, command->NewUnitName});
  return WholeWordRenames(std::move(renames), WholeWordRenames::Names::DottedNames);
}

}  // namespace

UnitRenameRules::UnitRenameRules(const CommandList& commands)
    : unitRenames(UnitRenames(commands)), unitRenameIndex(RenameIndex(unitRenames)) {}

UnitLineTransform::UnitLineTransform(RunState& state)
    : state_(state), ownRules_(std::make_unique<Rules>(state.Commands)), rules_(*ownRules_) {}

UnitLineTransform::UnitLineTransform(RunState& state, Rules& rules)
    : state_(state), rules_(rules) {}

void UnitLineTransform::TransformLine(std::string& line) {
  const LineKeywords words = FindKeywords(line);
  bool unitLine = false;
  if (inUsesClause_) {
    if (words.usesEnd) inUsesClause_ = false;
  } else if (words.uses) {
    inUsesClause_ = true;
  } else if (words.unit) {
    unitLine = true;
  }
  if (!inUsesClause_ && !unitLine) return;
  for (std::size_t rename : rules_.unitRenameIndex.Apply(line)) {
    const TCommand& command = *rules_.unitRenames[rename];
    state_.Changed(command,
                   "Renamed unit \"" + command.UnitName + "\" to \"" + command.NewUnitName + "\"",
                   state_.Observer ? CurrentLineNumber() : 0);
  }
}

}  // namespace reshape
