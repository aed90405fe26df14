#include "source/unit_renamer.h"

#include <array>
#include <string_view>

#include "source/replace.h"
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

}  // namespace

UnitLineTransform::UnitLineTransform(RunState& state) : state_(state) {
  for (const TCommand& command : state.Commands)
    if (command.Kind == CommandKind::RENU) unitRenames_.push_back(&command);
}

void UnitLineTransform::TransformLine(std::string& line) {
  const WordList words(line);
  bool unitLine = false;
  if (inUsesClause_) {
    if (HoldsUsesEndKeyword(words)) inUsesClause_ = false;
  } else if (words.IndexOf("USES") != 0) {
    inUsesClause_ = true;
  } else if (words.IndexOf("UNIT") != 0) {
    unitLine = true;
  }
  if (!inUsesClause_ && !unitLine) return;
  for (const TCommand* command : unitRenames_) {
    if (ReplaceWholeWord(line, words, command->UnitName, command->NewUnitName))
      state_.Changed("Renamed unit \"" + command->UnitName + "\" to \"" + command->NewUnitName +
                     "\"");
  }
}

}  // namespace reshape
