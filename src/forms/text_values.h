// The values of the text form that stand alone (numbers, strings, identifiers, binary blocks):
// read from the tokenizer, checked, and written in their binary encoding. The text reader
// checks values with them (through a discarding writer), the binary writer encodes a text
// form's values with them, and a single value compiled so is what a script's PSET compares.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "forms/extended.h"
#include "forms/form_stream.h"
#include "forms/tokenizer.h"

namespace reshape {

// Whether the current token starts a single value.
bool StartsSingleValue(TokenKind token);

// The single value at the current token into writer, leaving the token after it current.
// inList: an element of a list, which may not be the identifier Null.
void CompileSingleValue(Tokenizer& tokenizer, FormWriter& writer, bool inList);

// The binary block at the current "{" into writer, leaving the token after "}" current.
void CompileBinaryValue(Tokenizer& tokenizer, FormWriter& writer);

// How a script compares the single value that text (as the text form writes it) holds.
std::optional<std::string> ScriptTextOf(std::string_view text);

}  // namespace reshape
