// Reads a binary form file (resource header, then the form stream laid out in form_stream.h)
// into a form tree, never past its end, failing where the stream is malformed.
#pragma once

#include <string_view>

#include "forms/form_tree.h"

namespace reshape {

// The tree of the form stream's root object; bytes after it are not looked at. The tree views
// formFile. It also notes whether the text form printed from it would read back: a name or
// identifier that is no identifier, a float whose text is no number, a set too long for a line.
FormTree ReadBinaryForm(std::string_view formFile);

// The same for a form stream alone (from its signature on).
FormTree ReadFormStream(std::string_view stream);

}  // namespace reshape
