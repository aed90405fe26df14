// Turns a binary form stream into its text form: one line per object header and property,
// indented two spaces per level, lines ending in CR LF.
#pragma once

#include <string>
#include <string_view>

#include "base/code_page.h"

namespace reshape {

// The whole form file (resource header, then the form stream) to its text form.
std::string FormFileToText(std::string_view formFile, CodePage codePage);

// The form stream (from its signature on) to the text of the one object tree it holds; bytes
// after the root object are not looked at. Long strings are split so that no double-byte
// character of codePage is cut in two. consumed, when given, receives the number of bytes
// read.
std::string FormStreamToText(std::string_view stream, CodePage codePage,
                             std::size_t* consumed = nullptr);

}  // namespace reshape
