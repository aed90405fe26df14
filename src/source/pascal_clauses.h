// The names a Pascal source lists in its clauses, as the compiler reads them: the unit names
// of "uses" (and, in packages, "contains") clauses and of the "unit" heading, or the package
// names of a package's "requires" clause.
//
// A clause runs from its keyword (a name token equal to it, ASCII case ignored, whose code
// token before is not ".") to the next ";" code token, across lines, comments and directives;
// every name in it is listed, also one followed by "in 'path'" ("in" itself is not). When
// that ";" stands in a conditional block opened within the clause ("{$IFDEF X} A; {$ELSE}
// B; {$ENDIF}"), the block's later branches are clause text too, since the compiler reads
// one of them: the clause goes on after the block's end only when a branch of the block
// (or the branch it lacks when it has no "{$ELSE}") holds no such ";". The heading lists the
// name after "unit". "in" is never listed.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "base/code_page.h"

namespace reshape {

enum class ClauseKeywords {
  Units,     // "uses" clauses and the "unit" heading (units, programs, include files)
  Package,   // the same and "contains" clauses (package sources)
  Requires,  // "requires" clauses only (the package names of a package source)
};

// Calls visit(start, length) for each listed name of text, in text order, from `from` on.
// The scan stops at the first keyword at or after `limit`: the caller knows that no name it
// wants stands there.
void FindClauseNames(std::string_view text, std::size_t from, CodePage codePage,
                     ClauseKeywords keywords, std::size_t limit,
                     const std::function<void(std::size_t start, std::size_t length)>& visit);

}  // namespace reshape
