// One change of a run as a machine-readable record: a line of JSON (JSON Lines) that names the
// file, where in it, the script command that made the change, and the change log's message.
//
// Layout: one compact object per line, keys in this order:
//   "file"         the file's path as the console shows it
//   "line"         line in the source file, or in the text form of a form; null: none
//   "script_line"  the command's line in the script
//   "command"      the command's line as written
//   "kind"         RENC, RENS, RENU, PKGR, RENP, DELP or PSET
//   "old", "new"   what the command renames: the old and the new name or text (RENP: the
//                  property paths without the class; DELP: the property path and null; PSET:
//                  "Prop = Value" and "Set[Element]")
//   "message"      the change log line's message
// A text that is not valid UTF-8 is written as null, and its bytes in base64 (standard
// alphabet, padded) under the same key with "_base64" appended, which follows it directly:
//   {"file":null,"file_base64":"5OQucGFz","line":3,...}
#pragma once

#include <string>
#include <string_view>

#include "script/command.h"

namespace reshape {

struct ChangeRecord {
  std::string_view file;
  int line = 0;  // 0: none
  const TCommand* command = nullptr;  // the command that made the change; null: none known
  std::string_view message;
};

// The record as one JSON object followed by "\n".
std::string JsonChangeLine(const ChangeRecord& record);

// True for bytes that are well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

std::string Base64(std::string_view bytes);

}  // namespace reshape
