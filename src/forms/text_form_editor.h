// Migrating a form file that is stored as text: the text reader reads it into a form tree with
// the rules (the same decisions, log lines and failures as for a binary form); what they made of
// the tree is then made to the original bytes, which stay as they are everywhere else.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_rules.h"
#include "script/change.h"

namespace reshape {

// True when the first bytes, after an optional UTF-8 byte-order mark and blanks or line
// breaks, are the word object, inherited or inline (ASCII case ignored).
bool IsTextForm(std::string_view file);

// The migrated text; equal to text when no rule changes it. Changes go to changes.
// Throws the text reader's failure ("... on line N") for a text it cannot read.
std::string EditTextForm(std::string_view text, const FormRules& rules, ChangeSink& changes);

}  // namespace reshape
