#include "source/source_renamer.h"

#include "source/replace.h"
#include "source/word_scan.h"

namespace reshape {

SourceLineTransform::SourceLineTransform(RunState& state) : state_(state) {
  for (const TCommand& command : state.Commands) {
    if (command.Kind == CommandKind::RENC) classRenames_.push_back(&command);
    if (command.Kind == CommandKind::RENS) stringRenames_.push_back(&command);
  }
}

void SourceLineTransform::TransformLine(std::string& line) {
  if (!classRenames_.empty()) {
    // Taken before any rename, so a name put in by one command is not seen by a later one.
    const WordList words(line);
    for (const TCommand* command : classRenames_) {
      if (ReplaceWholeWord(line, words, command->ClassName, command->NewClassName))
        state_.Changed("Renamed class \"" + command->ClassName + "\" to \"" +
                       command->NewClassName + "\"");
    }
  }
  for (const TCommand* command : stringRenames_) {
    if (ReplaceSubstring(line, command->OldString, command->NewString, true,
                         state_.SystemCodePage))
      state_.Changed("Renamed string \"" + command->OldString + "\" to \"" + command->NewString +
                     "\"");
  }
}

}  // namespace reshape
