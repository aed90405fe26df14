// Binary form files of a generated tree, written with the program's own form stream writer:
// nested controls with numbers, identifiers, sets, strings (long, quoted, with line breaks,
// wide), string lists, collections, floats of every kind, image data, inherited children with
// positions and inline frames. A form of a newer IDE holds the same values, but writes strings
// with non-ASCII text as UTF-8 strings (tag 20) instead of wide strings (tag 18) and the Tag
// property as a 64-bit integer (tag 19).
#pragma once

#include <cstddef>
#include <string>

#include "generator_support.h"

namespace reshape::bench {

// The bytes of a form file (resource header and form stream) of about targetBytes. The same
// random state gives the same values with newer set or not.
std::string FormFile(Random& random, const Vocabulary& vocabulary, std::size_t index,
                     std::size_t targetBytes, bool newer = false);

}  // namespace reshape::bench
