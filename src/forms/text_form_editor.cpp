#include "forms/text_form_editor.h"

#include "base/ascii_case.h"
#include "base/bytes.h"
#include "forms/form_compilation.h"
#include "forms/tokenizer.h"

namespace reshape {

namespace {


}  // namespace

bool IsTextForm(std::string_view file) {
  if (file.starts_with(kUtf8Mark)) file.remove_prefix(kUtf8Mark.size());
  const std::size_t start = file.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  file.remove_prefix(start);
  std::size_t length = 0;
  while (length < file.size() && IsIdentChar(static_cast<unsigned char>(file[length]))) ++length;
  const std::string_view word = file.substr(0, length);
  return SameIgnoringAsciiCase(word, "object") || SameIgnoringAsciiCase(word, "inherited") ||
         SameIgnoringAsciiCase(word, "inline");
}

std::string EditTextForm(std::string_view text, const FormRules& rules, ChangeSink& changes) {
  // The tokenizer takes the byte-order mark for blanks-free text: it is skipped, and kept.
  const std::size_t skip = text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  const std::string_view body = text.substr(skip);
  TextFormEdits edits(body);
  // The rules act as on a binary form; only the edits are kept, no byte is compiled.
  std::string none;
  FormCompilation(body, none, rules, changes, &edits).CompileRoot();
  if (edits.Empty()) return std::string(text);
  return std::string(text.substr(0, skip)) + edits.Apply();
}

}  // namespace reshape
