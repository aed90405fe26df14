// Binary form files of a generated tree, written with the program's own form stream writer:
// nested controls with numbers, identifiers, sets, strings (long, quoted, with line breaks,
// wide), string lists, collections, floats of every kind, image data, inherited children with
// positions and inline frames.
#pragma once

#include <cstddef>
#include <string>

#include "generator_support.h"

namespace reshape::bench {

// The bytes of a form file (resource header and form stream) of about targetBytes.
std::string FormFile(Random& random, const Vocabulary& vocabulary, std::size_t index,
                     std::size_t targetBytes);

}  // namespace reshape::bench
