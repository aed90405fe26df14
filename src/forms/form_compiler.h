// The form compiler: turns the text form of a form file back into a binary form file in one
// recursive-descent pass, renaming classes (RENC) and letting the property rules act on the way.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_rules.h"
#include "forms/form_to_text.h"
#include "script/change.h"

namespace reshape {

// The complete new form file: resource header and compiled form stream. Changes go to
// changes, one at a time. Throws on the first error.
// originals, when given, holds the values of the form the text was converted from: each value
// whose first token stands at one of its offsets is written as those bytes.
std::string CompileFormFile(std::string_view text, const FormRules& rules, ChangeSink& changes,
                            const OriginalValues* originals = nullptr);

// The compiled form stream alone (signature and root object, no resource header); out is
// appended to.
void CompileFormStream(std::string_view text, const FormRules& rules, ChangeSink& changes,
                       std::string& out, const OriginalValues* originals = nullptr);

}  // namespace reshape
