// The property rules that act on every property line while a form is compiled: RENP renames
// the property, PSET turns one of its values into an element of a set property, DELP drops it,
// in that order of precedence. Without a rule the property is compiled as written.
#pragma once

#include <string>

#include "forms/form_compiler.h"

namespace reshape {

// One property line of an object or a collection item, from its first identifier to the
// token after its value.
void CompileProperty(CompileSession& session);
// The same when the path's first identifier has been read and advanced past already.
void CompileProperty(CompileSession& session, std::string firstPart);

// Consumes one value exactly as CompileValue does, with the same errors, and writes nothing.
void SkipValue(CompileSession& session);

// Writes one set property per distinct name in the pending list (in the order of each name's
// first entry, elements in list order) and empties the list.
void WritePendingSetProperties(CompileSession& session);

}  // namespace reshape
