#include "source/source_renamer.h"

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

SourceRenameRules::SourceRenameRules(const CommandList& commands, CodePage codePage)
    : classRenames(CommandsOfKind(commands, CommandKind::RENC)),
      classRenameIndex(ClassRenames(classRenames)) {
  for (const TCommand* command : CommandsOfKind(commands, CommandKind::RENS))
    stringRenames.push_back({command, SubstringFinder(command->OldString, codePage)});
}

SourceLineTransform::SourceLineTransform(RunState& state)
    : state_(state),
      ownRules_(std::make_unique<Rules>(state.Commands, state.SystemCodePage)),
      rules_(*ownRules_) {}

SourceLineTransform::SourceLineTransform(RunState& state, Rules& rules)
    : state_(state), rules_(rules) {}

void SourceLineTransform::TransformLine(std::string& line) {
  if (!rules_.classRenames.empty()) {
    for (std::size_t rename : rules_.classRenameIndex.Apply(line)) {
      const TCommand& command = *rules_.classRenames[rename];
      state_.Changed("Renamed class \"" + command.ClassName + "\" to \"" +
                     command.NewClassName + "\"");
    }
  }
  for (const auto& [command, finder] : rules_.stringRenames) {
    if (ReplaceSubstring(line, finder, command->NewString, true))
      state_.Changed("Renamed string \"" + command->OldString + "\" to \"" + command->NewString +
                     "\"");
  }
}

}  // namespace reshape
