// A form read once into a tree of objects, properties and values. The binary reader and the
// text reader build it; the rules act on it by noting what they make of each node (a new name,
// a removed property, set elements); the binary writer, the text printer and the text-form
// editor write it. Every node keeps the span of bytes it came from, so that what no rule
// touches is written as it was read.
//
// Spans are byte offsets into the tree's source: in a tree read from a binary form file, a
// value's span holds its tag and payload and a name's span its length byte and bytes; in a
// tree read from a text form, a value's span runs from its first token to the end of its last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace reshape {

struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool Empty() const { return begin == end; }
};

// Leaves (numbers, strings, identifiers) are singles; a set, a binary block, a list and a
// collection each have their own shape.
enum class ValueShape : std::uint8_t { kSingle, kBinary, kSet, kList, kCollection };

struct ValueParts;

struct FormValue {
  ValueShape shape = ValueShape::kSingle;
  Span span;
  // A list's elements, a collection's items, a set's names: made on first use, so that a leaf,
  // by far the most common value, holds no containers.
  std::unique_ptr<ValueParts> parts;

  ValueParts& Parts();
  const ValueParts& Parts() const;  // empty for a leaf
};

struct FormProperty {
  std::string_view name;  // the whole dotted path
  Span nameSpan;
  int line = 0;            // of its name in the text form
  FormValue value;
  std::size_t nextAt = 0;  // text form: the token after the value
  // What the rules made of it.
  bool renamed = false;
  bool removed = false;
  std::string_view newName;

  std::string_view Name() const { return renamed ? newName : name; }
};

// One item of a collection: its optional index and its properties.
struct CollectionItem {
  bool hasOrder = false;
  std::int32_t order = 0;
  Span orderSpan;  // the index value
  std::vector<FormProperty> properties;
};

struct ValueParts {
  std::vector<FormValue> elements;      // a list's
  std::vector<CollectionItem> items;    // a collection's
  std::vector<std::string_view> names;  // a set's elements as read
  std::vector<std::string_view> added;  // elements the rules add to a set
};

inline ValueParts& FormValue::Parts() {
  if (!parts) parts = std::make_unique<ValueParts>();
  return *parts;
}

inline const ValueParts& FormValue::Parts() const {
  static const ValueParts kNone;
  return parts ? *parts : kNone;
}

// A set property that the rules add to an object after its own properties.
struct NewSet {
  std::string_view name;
  std::vector<std::string_view> elements;
};

struct FormObject {
  std::uint8_t flags = 0;      // the prefix flags
  std::int32_t childPos = 0;   // when flags hold PrefixChildPos
  Span prefix;                 // binary: prefix byte and position; text: the header's keyword
  std::string_view className;
  Span classSpan;
  std::string_view objectName;
  // Lines of the text form at which the rules act: the token after the header, and the token
  // after the object's own property list.
  int headerLine = 0;
  int listEndLine = 0;
  // Text form: the first own property's name (npos: none) and the token after the list.
  std::size_t firstPropertyAt = std::string_view::npos;
  std::size_t listEndAt = 0;
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;
  // What the rules made of it.
  bool renamed = false;
  std::string_view newClassName;
  std::vector<NewSet> newSets;

  std::string_view ClassName() const { return renamed ? newClassName : className; }
};

struct FormTree {
  std::string_view source;
  bool fromText = false;
  // Binary: where the form stream starts in the file and where its root object ends.
  std::size_t streamAt = 0;
  std::size_t streamEnd = 0;
  // Binary: false when a name or a value would not read back from the printed text form.
  bool readsBackAsText = true;
  FormObject root;
  // Dotted names that the text form spells with blanks, joined; the tree's names view them.
  std::deque<std::string> joinedNames;
};

}  // namespace reshape
