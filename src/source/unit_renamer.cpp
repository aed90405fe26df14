#include "source/unit_renamer.h"

#include <algorithm>
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
    // Most words are ruled out by their length and first letter before any comparison.
    if (length < 3 || length > kLongestKeyword) return true;
    switch (AsciiUpper(line[start])) {
      case 'B': case 'C': case 'F': case 'I': case 'P': case 'T': case 'U': case 'V': break;
      default: return true;
    }
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

void UnitLineTransform::TransformLineOf(std::string& line, std::string_view text,
                                        std::size_t offset) {
  const std::size_t end = offset + line.size();
  TransformLine(line);
  quietUntil_ = 0;
  if (inUsesClause_) return;
  const auto next = [&](const SubstringFinder& finder) {
    const std::size_t at = finder.Find(text.substr(end));
    return at == std::string_view::npos ? at : end + at;
  };
  if (nextUses_ < end) nextUses_ = next(rules_.usesFinder);
  if (nextUnit_ < end) nextUnit_ = next(rules_.unitFinder);
  quietUntil_ = std::min(nextUses_, nextUnit_);
}

}  // namespace reshape
