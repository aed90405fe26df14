// The line transform of the project pass: package renames as plain text replacements, without
// any notion of words, comments or literals.
#pragma once

#include <string>
#include <vector>

#include "base/code_page.h"
#include "script/command.h"
#include "source/replace.h"
#include "source/text_lines.h"

namespace reshape {

// The PKGR commands, in script order, prepared once for every file of a pass.
class ProjectRenameRules {
 public:
  ProjectRenameRules(const CommandList& commands, CodePage codePage);

  struct PackageRename {
    const TCommand* command;
    SubstringFinder finder;
  };
  std::vector<PackageRename> packageRenames;
};

class ProjectLineTransform : public RulesLineTransform<ProjectRenameRules> {
 public:
  using RulesLineTransform::RulesLineTransform;
  // Applies every PKGR command to the line.
  void TransformLine(std::string& line) override;
};

}  // namespace reshape
