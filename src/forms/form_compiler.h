// The form compiler: turns the text form of a form file into a binary form file, with the
// class and property rules applied on the way; and lets the rules act on a binary form's tree.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_rules.h"
#include "forms/form_tree.h"
#include "script/change.h"

namespace reshape {

// The complete new form file: resource header and form stream. Changes go to changes, one at
// a time. Throws on the first error.
std::string CompileFormFile(std::string_view text, const FormRules& rules, ChangeSink& changes);

// The compiled form stream alone (signature and root object, no resource header), appended to
// out.
void CompileFormStream(std::string_view text, const FormRules& rules, ChangeSink& changes,
                       std::string& out);

// A binary form file with the rules applied: read, migrated and written again.
std::string ConvertFormFile(std::string_view formFile, const FormRules& rules, ChangeSink& changes);

// Lets the rules act on a tree read from a binary form; text is the text form printed from it.
// A form whose text form would not read back fails as that text does when read.
void MigrateBinaryForm(FormTree& tree, std::string_view text, const FormRules& rules,
                       ChangeSink& changes);

}  // namespace reshape
