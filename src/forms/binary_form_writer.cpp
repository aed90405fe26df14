#include "forms/binary_form_writer.h"

#include "forms/form_stream.h"
#include "forms/resource_header.h"
#include "forms/text_values.h"
#include "forms/tokenizer.h"

namespace reshape {

namespace {

constexpr std::size_t kHeaderRoom = 512;

class BinaryFormWriter {
 public:
  BinaryFormWriter(const FormTree& tree, std::string& out)
      : source_(tree.source), fromText_(tree.fromText), writer_(out) {}

  void WriteObject(const FormObject& object);

 private:
  void Copy(Span span) { writer_.WriteBytes(source_.substr(span.begin, span.end - span.begin)); }
  void WriteProperties(const std::vector<FormProperty>& properties);
  void WriteValue(const FormValue& value);
  void WriteSet(const FormValue& value);
  void WriteCollection(const FormValue& value);
  void WriteTextLeaf(const FormValue& value);

  std::string_view source_;
  bool fromText_;
  FormWriter writer_;
};

void BinaryFormWriter::WriteObject(const FormObject& object) {
  if (fromText_)
    writer_.WriteObjectPrefix(object.flags, object.childPos);
  else
    Copy(object.prefix);
  if (fromText_ || object.renamed)
    writer_.WriteShortString(object.ClassName());
  else
    Copy(object.classSpan);
  writer_.WriteShortString(object.objectName);
  WriteProperties(object.properties);
  for (const NewSet& set : object.newSets) {
    writer_.WriteShortString(set.name);
    writer_.WriteTag(TagSet);
    for (std::string_view element : set.elements) writer_.WriteShortString(element);
    writer_.WriteShortString("");
  }
  writer_.WriteEndMarker();
  for (const FormObject& child : object.children) WriteObject(child);
  writer_.WriteEndMarker();
}

void BinaryFormWriter::WriteProperties(const std::vector<FormProperty>& properties) {
  for (const FormProperty& property : properties) {
    if (property.removed) continue;
    if (fromText_ || property.renamed)
      writer_.WriteShortString(property.Name());
    else
      Copy(property.nameSpan);
    WriteValue(property.value);
  }
}

void BinaryFormWriter::WriteValue(const FormValue& value) {
  switch (value.shape) {
    case ValueShape::kList:
      writer_.WriteListStart();
      for (const FormValue& element : value.Parts().elements) WriteValue(element);
      return writer_.WriteEndMarker();
    case ValueShape::kCollection: return WriteCollection(value);
    case ValueShape::kSet: return WriteSet(value);
    default: break;
  }
  if (fromText_) return WriteTextLeaf(value);
  Copy(value.span);
}

// The elements a rule adds go before the empty name that ends the set.
void BinaryFormWriter::WriteSet(const FormValue& value) {
  const ValueParts& parts = value.Parts();
  if (!fromText_ && parts.added.empty()) return Copy(value.span);
  if (fromText_) {
    writer_.WriteTag(TagSet);
    for (std::string_view name : parts.names) writer_.WriteShortString(name);
  } else {
    Copy({value.span.begin, value.span.end - 1});
  }
  for (std::string_view name : parts.added) writer_.WriteShortString(name);
  writer_.WriteShortString("");
}

void BinaryFormWriter::WriteCollection(const FormValue& value) {
  writer_.WriteTag(TagCollection);
  for (const CollectionItem& item : value.Parts().items) {
    if (!fromText_)
      Copy(item.orderSpan);
    else if (item.hasOrder)
      writer_.WriteIntegerValue(item.order);
    writer_.WriteListStart();
    WriteProperties(item.properties);
    writer_.WriteEndMarker();
  }
  writer_.WriteEndMarker();
}

// A text form's number, string, identifier or binary block, encoded from its tokens (which the
// text reader has checked).
void BinaryFormWriter::WriteTextLeaf(const FormValue& value) {
  Tokenizer tokenizer(source_.substr(value.span.begin, value.span.end - value.span.begin));
  if (value.shape == ValueShape::kBinary)
    CompileBinaryValue(tokenizer, writer_);
  else
    CompileSingleValue(tokenizer, writer_, false);
}

}  // namespace

void WriteFormStream(const FormTree& tree, std::string& out) {
  out.append(FormSignature);
  BinaryFormWriter(tree, out).WriteObject(tree.root);
}

std::string WriteFormFile(const FormTree& tree) {
  // The form is about as large as its source; the header is put in front within the reserved
  // room, so the form is never held twice.
  std::string file;
  file.reserve((tree.fromText ? tree.source.size() / 2 : tree.source.size()) + kHeaderRoom);
  WriteFormStream(tree, file);
  if (tree.fromText) {
    file.insert(0, ResourceHeader(file));
    return file;
  }
  file.insert(0, ResourceHeaderFor(file, tree.source, tree.streamAt, tree.streamEnd));
  file.append(tree.source.substr(tree.streamEnd));
  return file;
}

}  // namespace reshape
