// Reads the text form of a form into a form tree in one recursive-descent pass, telling the
// rules each object and property as it reads them. Fails on the first error with what is wrong
// and its line ("... on line N").
#pragma once

#include <string_view>

#include "forms/form_migration.h"
#include "forms/form_tree.h"

namespace reshape {

// The tree of the text's one root object; what follows its "end" is never looked at. The tree
// views text.
FormTree ReadTextForm(std::string_view text, FormMigration& migration);

}  // namespace reshape
