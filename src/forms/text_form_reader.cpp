#include "forms/text_form_reader.h"

#include <string>

#include "forms/form_stream.h"
#include "forms/property_rules.h"
#include "forms/text_values.h"
#include "forms/tokenizer.h"

namespace reshape {

namespace {

class TextFormReader {
 public:
  TextFormReader(std::string_view text, FormTree& tree, FormMigration& migration)
      : tokenizer_(text), discard_(none_, true), tree_(tree), migration_(migration) {}

  void ReadRoot() { ReadObject(tree_.root); }

 private:
  // One level more of objects, lists and collections, for as long as the result lives.
  NestingLevel Nest() {
    return NestingLevel(depth_, [this] { tokenizer_.Fail("Nesting too deep"); });
  }
  // A property may carry the name of a keyword; "=" or a dotted part after it on its line
  // tells. Taken for the keyword, it would end the list early and the rest of a root be lost.
  bool IsPropertyName() const { return tokenizer_.IsFollowedOnItsLineBy("=."); }
  bool EndsPropertyList() const {
    return (tokenizer_.IsKeyword("END") || tokenizer_.IsKeyword("OBJECT") ||
            tokenizer_.IsKeyword("INHERITED")) &&
           !IsPropertyName();
  }

  void ReadObject(FormObject& object);
  void ReadObjectAfterKeyword(FormObject& object, std::uint8_t flags, std::size_t keywordAt);
  void ReadHeader(FormObject& object, std::uint8_t flags);
  // A "[n]" order, -1 without one.
  std::int32_t ReadOrderModifier();
  // One property line whose first identifier, at nameAt, has been read and advanced past.
  // own: the object's own list; rules: whether the rules act on it.
  void ReadProperty(std::vector<FormProperty>& properties, std::string_view first, bool own,
                    bool rules, std::size_t nameAt);
  std::string_view JoinedPath(std::string_view first, std::size_t nameAt);
  void ReadValue(FormValue& value, bool inList, bool rules);
  void ReadSet(FormValue& value);
  void ReadCollection(FormValue& value, bool rules);

  Tokenizer tokenizer_;
  std::string none_;
  FormWriter discard_;
  FormTree& tree_;
  FormMigration& migration_;
  int depth_ = 0;
};

void TextFormReader::ReadObject(FormObject& object) {
  const std::uint8_t flags = tokenizer_.IsKeyword("INHERITED") ? PrefixInherited
                             : tokenizer_.IsKeyword("INLINE")  ? PrefixInline
                                                               : 0;
  if (flags == 0) tokenizer_.ExpectKeyword("OBJECT");
  const std::size_t keywordAt = tokenizer_.TokenOffset();
  tokenizer_.Advance();
  ReadObjectAfterKeyword(object, flags, keywordAt);
}

void TextFormReader::ReadObjectAfterKeyword(FormObject& object, std::uint8_t flags,
                                            std::size_t keywordAt) {
  NestingLevel level = Nest();
  object.prefix = {keywordAt, keywordAt};
  ReadHeader(object, flags);
  bool inlineChildFollows = false;
  std::size_t nameAt = tokenizer_.TokenOffset();
  while (!EndsPropertyList()) {
    tokenizer_.Expect(TokIdentifier);
    nameAt = tokenizer_.TokenOffset();
    const std::string_view first = tokenizer_.TokenText();
    // A property may be named Inline; as such it is followed by "=" or ".".
    const bool isInline = tokenizer_.IsKeyword("INLINE");
    if (tokenizer_.Advance() != '=' && tokenizer_.Token() != '.' && isInline) {
      inlineChildFollows = true;
      break;
    }
    if (object.firstPropertyAt == std::string_view::npos) object.firstPropertyAt = nameAt;
    ReadProperty(object.properties, first, true, true, nameAt);
    nameAt = tokenizer_.TokenOffset();
  }
  object.listEndAt = nameAt;
  object.listEndLine = tokenizer_.Line();
  migration_.EndPropertyList(object.listEndLine);
  if (inlineChildFollows) ReadObjectAfterKeyword(object.children.emplace_back(), PrefixInline, nameAt);
  while (!tokenizer_.IsKeyword("END")) ReadObject(object.children.emplace_back());
  migration_.EndObject();
  // The root's END is the last token read: whatever follows it is never looked at.
  if (depth_ > 1) tokenizer_.Advance();
}

void TextFormReader::ReadHeader(FormObject& object, std::uint8_t flags) {
  tokenizer_.Expect(TokIdentifier);
  std::size_t classAt = tokenizer_.TokenOffset();
  std::string_view className = tokenizer_.TokenText();
  if (tokenizer_.Advance() == ':') {
    tokenizer_.Advance();
    tokenizer_.Expect(TokIdentifier);
    object.objectName = className;
    classAt = tokenizer_.TokenOffset();
    className = tokenizer_.TokenText();
    tokenizer_.Advance();
  }
  const std::int32_t position = ReadOrderModifier();
  // -1 stands for "no position"; every other value, 0 included, orders the child.
  object.childPos = position;
  object.flags = flags | (position != -1 ? PrefixChildPos : 0);
  object.className = className;
  object.classSpan = {classAt, classAt + className.size()};
  object.headerLine = tokenizer_.Line();
  migration_.BeginObject(object, object.headerLine);
}

std::int32_t TextFormReader::ReadOrderModifier() {
  if (tokenizer_.Token() != '[') return -1;
  tokenizer_.Advance();
  tokenizer_.Expect(TokInteger);
  const std::int32_t position = tokenizer_.TokenAsInteger();
  tokenizer_.Advance();
  tokenizer_.Expect(']');
  tokenizer_.Advance();
  return position;
}

// The dotted path as the tree names it: the text's own bytes unless blanks stand in it.
std::string_view TextFormReader::JoinedPath(std::string_view first, std::size_t nameAt) {
  if (tokenizer_.Token() != '.') return first;
  std::string path(first);
  while (tokenizer_.Token() == '.') {
    tokenizer_.Advance();
    tokenizer_.Expect(TokIdentifier);
    path += '.';
    path += tokenizer_.TokenText();
    tokenizer_.Advance();
  }
  const std::string_view written =
      tree_.source.substr(nameAt, tokenizer_.PreviousTokenEnd() - nameAt);
  if (written == path) return written;
  return tree_.joinedNames.emplace_back(std::move(path));
}

void TextFormReader::ReadProperty(std::vector<FormProperty>& properties, std::string_view first,
                                  bool own, bool rules, std::size_t nameAt) {
  FormProperty& property = properties.emplace_back();
  property.line = tokenizer_.Line();
  property.name = JoinedPath(first, nameAt);
  property.nameSpan = {nameAt, tokenizer_.PreviousTokenEnd()};
  ValueUse use = rules ? migration_.NameRead(property, own, tokenizer_.Line()) : ValueUse::kDrop;
  tokenizer_.Expect('=');
  tokenizer_.Advance();
  const std::size_t valueAt = tokenizer_.TokenOffset();
  if (use == ValueUse::kAsk)
    use = migration_.ShapeRead(property, own, StartsSingleValue(tokenizer_.Token()));
  if (use == ValueUse::kAsk) {
    // The value is compared as its text compiles.
    std::string bytes;
    FormWriter writer(bytes);
    CompileSingleValue(tokenizer_, writer, false);
    migration_.ValueRead(property, own, ValueAsScriptText(bytes));
  } else {
    ReadValue(property.value, false, use == ValueUse::kKeep);
  }
  property.value.span = {valueAt, tokenizer_.PreviousTokenEnd()};
  property.nextAt = tokenizer_.TokenOffset();
}

void TextFormReader::ReadValue(FormValue& value, bool inList, bool rules) {
  const std::size_t valueAt = tokenizer_.TokenOffset();
  switch (tokenizer_.Token()) {
    case '(': {
      value.shape = ValueShape::kList;
      NestingLevel level = Nest();
      tokenizer_.Advance();
      std::vector<FormValue>& elements = value.Parts().elements;
      while (tokenizer_.Token() != ')') ReadValue(elements.emplace_back(), true, rules);
      tokenizer_.Advance();
      break;
    }
    case '[': ReadSet(value); break;
    case '<': ReadCollection(value, rules); break;
    case '{':
      value.shape = ValueShape::kBinary;
      CompileBinaryValue(tokenizer_, discard_);
      break;
    default: CompileSingleValue(tokenizer_, discard_, inList);
  }
  value.span = {valueAt, tokenizer_.PreviousTokenEnd()};
}

void TextFormReader::ReadSet(FormValue& value) {
  value.shape = ValueShape::kSet;
  value.Parts();
  if (tokenizer_.Advance() != ']') {
    for (;; tokenizer_.Advance()) {
      tokenizer_.Expect(TokIdentifier);
      value.Parts().names.push_back(tokenizer_.TokenText());
      if (tokenizer_.Advance() == ']') break;
      tokenizer_.Expect(',');
    }
  }
  tokenizer_.Advance();
}

// Item properties go through the rules of the enclosing object, but are not its own list.
void TextFormReader::ReadCollection(FormValue& value, bool rules) {
  value.shape = ValueShape::kCollection;
  std::vector<CollectionItem>& items = value.Parts().items;
  NestingLevel level = Nest();
  tokenizer_.Advance();
  while (tokenizer_.Token() != '>') {
    tokenizer_.ExpectKeyword("item");
    tokenizer_.Advance();
    CollectionItem& item = items.emplace_back();
    const std::size_t orderAt = tokenizer_.Token() == '[' ? tokenizer_.TokenOffset() : 0;
    item.order = ReadOrderModifier();
    item.hasOrder = item.order != -1;
    item.orderSpan = {orderAt, tokenizer_.PreviousTokenEnd()};
    while (!tokenizer_.IsKeyword("end") || IsPropertyName()) {
      tokenizer_.Expect(TokIdentifier);
      const std::size_t nameAt = tokenizer_.TokenOffset();
      const std::string_view first = tokenizer_.TokenText();
      tokenizer_.Advance();
      ReadProperty(item.properties, first, false, rules, nameAt);
    }
    tokenizer_.Advance();
  }
  tokenizer_.Advance();
}

}  // namespace

FormTree ReadTextForm(std::string_view text, FormMigration& migration) {
  FormTree tree;
  tree.source = text;
  tree.fromText = true;
  TextFormReader(text, tree, migration).ReadRoot();
  return tree;
}

}  // namespace reshape
