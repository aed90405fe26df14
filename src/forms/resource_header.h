// The resource header in front of the binary form stream of a form file: passing over it when
// a form file is read, and building it from a compiled stream when a form file is written.
//
// Layout: 0xFF, resource type 10 as 2 bytes, the root class name upper-cased and a 0 byte,
// memory flags 0x1030 as 2 bytes, the size of the form stream as 4 bytes; then the stream.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace reshape {

// The offset of the form stream in the form file (at most the file's size). Fails as no form
// resource unless the file begins with 0xFF and type 10. The name is looked for
// within the first 259 bytes of the file (any class name and its terminator); flags and size
// are not checked.
std::size_t SkipResourceHeader(std::string_view formFile);

// The header for a compiled form stream, named after its root class as read back from it.
std::string ResourceHeader(std::string_view compiled);

// The header of formFile after its form stream (from streamAt to streamEnd, the root object)
// was compiled anew: its old bytes, the size field moved by the stream's change of length, and
// the root's class name, upper-cased, where the class was renamed.
std::string ResourceHeaderFor(std::string_view compiled, std::string_view formFile,
                              std::size_t streamAt, std::size_t streamEnd);

}  // namespace reshape
