#include "source/unit_renamer.h"

#include <array>
#include <string_view>

#include "source/word_scan.h"

namespace reshape {

namespace {

// Words that end a uses clause; the line holding one is not part of it.
constexpr std::array<std::string_view, 8> kUsesEndKeywords = {
    "BEGIN", "PROCEDURE", "FUNCTION", "TYPE", "CONST", "VAR", "INTERFACE", "USES"};

bool HoldsUsesEndKeyword(const WordList& words) {
  for (std::size_t i = 1; i <= words.Count(); ++i)
    for (std::string_view keyword : kUsesEndKeywords)
      if (words.Word(i) == keyword) return true;
  return false;
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
  return WholeWordRenames(std::move(renames));
}

}  // namespace

UnitRenameRules::UnitRenameRules(const CommandList& commands)
    : unitRenames(UnitRenames(commands)), unitRenameIndex(RenameIndex(unitRenames)) {}

UnitLineTransform::UnitLineTransform(RunState& state)
    : state_(state), ownRules_(std::make_unique<Rules>(state.Commands)), rules_(*ownRules_) {}

UnitLineTransform::UnitLineTransform(RunState& state, Rules& rules)
    : state_(state), rules_(rules) {}

void UnitLineTransform::TransformLine(std::string& line) {
  words_.Assign(line);
  const WordList& words = words_;
  bool unitLine = false;
  if (inUsesClause_) {
    if (HoldsUsesEndKeyword(words)) inUsesClause_ = false;
  } else if (words.IndexOf("USES") != 0) {
    inUsesClause_ = true;
  } else if (words.IndexOf("UNIT") != 0) {
    unitLine = true;
  }
  if (!inUsesClause_ && !unitLine) return;
  for (std::size_t rename : rules_.unitRenameIndex.Apply(line, words_)) {
    const TCommand& command = *rules_.unitRenames[rename];
    state_.Changed("Renamed unit \"" + command.UnitName + "\" to \"" + command.NewUnitName +
                   "\"");
  }
}

}  // namespace reshape
