// Turns a binary form stream into its text form: one line per object header and property,
// indented two spaces per level, lines ending in CR LF.
#pragma once

#include "base/code_page.h"
#include "platform/stream.h"

namespace reshape {

// The input stands at the start of a form file: passes over its resource header, then
// converts the form stream that follows.
void FormFileToText(TStream& input, TStream& output, CodePage codePage);

// The input stands at the form signature. Appends the text of the one object tree that
// follows to output, which receives all text produced before a failure too. The input is left
// right after the last byte read. Long strings are split so that no double-byte character of
// codePage is cut in two.
void FormStreamToText(TStream& input, TStream& output, CodePage codePage);

}  // namespace reshape
