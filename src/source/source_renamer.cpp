#include "source/source_renamer.h"

#include "source/replace.h"
#include "source/word_renames.h"
#include "source/word_scan.h"

namespace reshape {

namespace {

std::vector<const TCommand*> CommandsOfKind(const CommandList& commands, CommandKind kind) {
  std::vector<const TCommand*> result;
  for (const TCommand& command : commands)
    if (command.Kind == kind) result.push_back(&command);
  return result;
}

WholeWordRenames ClassRenames(const std::vector<const TCommand*>& commands) {
  std::vector<WholeWordRenames::Rename> renames;
  for (const TCommand* command : commands)
    renames.push_back({command->ClassName, command->NewClassName});
  return WholeWordRenames(std::move(renames));
}

}  // namespace

SourceLineTransform::SourceLineTransform(RunState& state)
    : state_(state),
      classRenames_(CommandsOfKind(state.Commands, CommandKind::RENC)),
      classRenameIndex_(ClassRenames(classRenames_)),
      stringRenames_(CommandsOfKind(state.Commands, CommandKind::RENS)) {}

void SourceLineTransform::TransformLine(std::string& line) {
  if (!classRenames_.empty()) {
    // Taken before any rename, so a name put in by one command is not seen by a later one.
    const WordList words(line);
    for (std::size_t rename : classRenameIndex_.Apply(line, words)) {
      const TCommand& command = *classRenames_[rename];
      state_.Changed("Renamed class \"" + command.ClassName + "\" to \"" +
                     command.NewClassName + "\"");
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
