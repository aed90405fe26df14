// The unit pass: renames units where the compiler reads unit names, and nowhere else. In Pascal
// sources (units, programs, packages, include files) these are the names of "uses" clauses,
// of "contains" clauses in packages and of the unit heading (pascal_clauses.h); in C++ files,
// the unit an include line or a "#pragma link" names (cpp_includes.h). A unit name is a dotted
// name ("Core.Types"), matched as a whole ignoring ASCII letter case; each is renamed by the
// first command in script order that names it. Every other byte of the file stays as it is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "script/change.h"
#include "script/command.h"
#include "source/caseless_names.h"
#include "source/replace.h"

namespace reshape {

enum class UnitFileKind {
  Pascal,   // a unit, program or include file
  Package,  // a package source: "contains" lists units too
  Cpp,      // a C++ source or header
};

// The kind of a file by its extension: ".dpk" a package, ".cpp", ".hpp" and ".h" C++, any
// other Pascal (ASCII letter case ignored).
UnitFileKind UnitFileKindOf(std::string_view fileName);

// The RENU commands, in script order, prepared once for every file of a pass.
class UnitRenameRules {
 public:
  UnitRenameRules(const CommandList& commands, CodePage codePage);

  // The first RENU command in script order whose old name is `name`, or none.
  const TCommand* RenameOf(std::string_view name) const;
  // False when no command names a unit that can stand in a file.
  bool Any() const { return !firstRenames_.empty(); }

  CodePage codePage;
  std::vector<const TCommand*> unitRenames;
  // With a few renames, their old names as text to search the whole text for: where none of
  // them stands after a place, nothing after it changes. Empty with many renames.
  std::vector<SubstringFinder> unitNameFinders;

 private:
  CaselessNames oldNames_;
  std::vector<const TCommand*> firstRenames_;  // numbered as oldNames_
};

// The file's bytes with its unit names renamed, each change handed to `changes` in text order;
// nothing when the bytes stay the same. A UTF-16 file is left as it is; the text ends at its
// first end-of-text mark (0x1A), after an optional UTF-8 byte-order mark.
std::optional<std::string> ConvertUnits(std::string_view fileBytes, UnitFileKind kind,
                                        const UnitRenameRules& rules, ChangeSink& changes);

}  // namespace reshape
