#include "source/project_renamer.h"

namespace reshape {

ProjectRenameRules::ProjectRenameRules(const CommandList& commands, CodePage codePage) {
  for (const TCommand* command : CommandsOfKind(commands, CommandKind::PKGR))
    packageRenames.push_back({command, SubstringFinder(command->PackageName, codePage)});
}

void ProjectLineTransform::TransformLine(std::string& line) {
  for (const auto& [command, finder] : rules_.packageRenames)
    for (std::size_t n = ReplaceSubstring(line, finder, command->NewPackageName, false); n > 0; --n)
      Changed(*command, ChangeKind::PackageRenamed, command->PackageName,
              command->NewPackageName);
}

}  // namespace reshape
