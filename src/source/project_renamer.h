// The project pass: package renames in the files that name packages. Project files (.bpr,
// .bpk) take them as plain text replacements, without any notion of words, comments or
// literals; XML project files (.dproj, .cbproj) only where the name stands whole; package
// sources (.dpk) only in their "requires" clauses, read as the compiler reads them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "script/change.h"
#include "script/command.h"
#include "source/replace.h"
#include "source/text_lines.h"

namespace reshape {

enum class ProjectFileKind {
  Plain,       // every occurrence, anywhere in a line
  WholeNames,  // every occurrence that stands whole (see ProjectWholeNameTransform)
  Package,     // the package names of "requires" clauses
};

// The kind of a file by its extension: ".dproj" and ".cbproj" whole names, ".dpk" a package
// source, any other plain (ASCII letter case ignored).
ProjectFileKind ProjectFileKindOf(std::string_view fileName);

// The PKGR commands, in script order, prepared once for every file of a pass.
class ProjectRenameRules {
 public:
  ProjectRenameRules(const CommandList& commands, CodePage codePage);

  struct PackageRename {
    const TCommand* command;
    SubstringFinder finder;
  };
  CodePage codePage;
  std::vector<PackageRename> packageRenames;
};

// Each command, in script order, replaces every occurrence of its old name in the line as the
// earlier commands left it (ASCII letter case ignored), found left to right without
// overlapping and never inside its own replacements; each replacement is one change.
class ProjectLineTransform : public RulesLineTransform<ProjectRenameRules> {
 public:
  using RulesLineTransform::RulesLineTransform;
  void TransformLine(std::string& line) override;

 protected:
  bool wholeNames_ = false;
};

// The same for occurrences that stand whole: the byte before and the byte after are not an
// ASCII letter, a digit, "_" or ".", except that ".bpl", ".bpi", ".lib" or ".dcp" may follow.
class ProjectWholeNameTransform : public ProjectLineTransform {
 public:
  ProjectWholeNameTransform(Rules& rules, ChangeSink& changes) : ProjectLineTransform(rules, changes) {
    wholeNames_ = true;
  }
};

// A project pass's conversion of one file of the given kind: the new bytes, or nothing when
// they are the same. In a package source every byte but the renamed names stays as it is;
// each name is renamed by every command, in script order, whose old name equals the name as
// the commands before left it.
std::optional<std::string> ConvertProject(std::string_view fileBytes, ProjectFileKind kind,
                                          ProjectRenameRules& rules, ChangeSink& changes);

}  // namespace reshape
