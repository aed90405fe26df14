#include "forms/text_form_editor.h"

#include "base/ascii_case.h"
#include "base/bytes.h"
#include "forms/form_migration.h"
#include "forms/text_form_edits.h"
#include "forms/text_form_reader.h"
#include "forms/tokenizer.h"

namespace reshape {

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

namespace {

// The edits that make the text say what the rules made of the tree, read from it.
class EditsOfTree {
 public:
  explicit EditsOfTree(TextFormEdits& edits) : edits_(edits) {}

  void Object(const FormObject& object) {
    if (object.renamed)
      edits_.Replace(object.classSpan.begin, object.className.size(), object.newClassName);
    for (const FormProperty& property : object.properties) Property(property);
    for (const NewSet& set : object.newSets)
      edits_.InsertSetLine(object.listEndAt, object.prefix.begin, object.firstPropertyAt, set.name,
                           set.elements);
    for (const FormObject& child : object.children) Object(child);
  }

 private:
  void Property(const FormProperty& property) {
    const Span name = property.nameSpan;
    if (property.renamed) edits_.Replace(name.begin, name.end - name.begin, property.newName);
    if (property.removed) return edits_.RemoveProperty(name.begin, property.value.span.end, property.nextAt);
    Value(property.value);
  }
  void Value(const FormValue& value) {
    if (!value.parts) return;
    const ValueParts& parts = *value.parts;
    if (!parts.added.empty()) edits_.ExtendSet(value.span.end - 1, parts.added);
    for (const FormValue& element : parts.elements) Value(element);
    for (const CollectionItem& item : parts.items)
      for (const FormProperty& property : item.properties) Property(property);
  }

  TextFormEdits& edits_;
};

}  // namespace

std::string EditTextForm(std::string_view text, const FormRules& rules, ChangeSink& changes) {
  // The tokenizer takes the byte-order mark for blanks-free text: it is skipped, and kept.
  const std::size_t skip = text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  const std::string_view body = text.substr(skip);
  FormMigration migration(rules, changes);
  const FormTree tree = ReadTextForm(body, migration);
  TextFormEdits edits(body);
  EditsOfTree(edits).Object(tree.root);
  if (edits.Empty()) return std::string(text);
  return std::string(text.substr(0, skip)) + edits.Apply();
}

}  // namespace reshape
