// Writes a form tree as a binary form file: what the rules made of it (new names, removed
// properties, set elements) as the rules give it, everything else as the tree's source has it.
// A tree read from a binary form keeps every name, prefix and value the rules leave alone in
// its original bytes, the resource header but for its size (and its name when the root class
// is renamed), and the bytes after the form stream; a text form's values are encoded anew.
#pragma once

#include <string>

#include "forms/form_tree.h"

namespace reshape {

// The complete form file: resource header, form stream and, for a binary form, the bytes that
// followed its root object.
std::string WriteFormFile(const FormTree& tree);

// The form stream alone (signature and root object), appended to out.
void WriteFormStream(const FormTree& tree, std::string& out);

}  // namespace reshape
