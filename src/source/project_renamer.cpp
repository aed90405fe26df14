#include "source/project_renamer.h"

#include "source/replace.h"

namespace reshape {

ProjectLineTransform::ProjectLineTransform(RunState& state) : state_(state) {
  for (const TCommand& command : state.Commands)
    if (command.Kind == CommandKind::PKGR) packageRenames_.push_back(&command);
}

void ProjectLineTransform::TransformLine(std::string& line) {
  for (const TCommand* command : packageRenames_) {
    if (ReplaceSubstring(line, command->PackageName, command->NewPackageName, false,
                         state_.SystemCodePage))
      state_.Changed("Renamed/Replaced package \"" + command->PackageName + "\" to \"" +
                     command->NewPackageName + "\"");
  }
}

}  // namespace reshape
