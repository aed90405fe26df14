#include "forms/binary_form_reader.h"

#include "base/ascii_case.h"
#include "base/errors.h"
#include "forms/decimal_to_extended.h"
#include "forms/extended.h"
#include "forms/form_stream.h"
#include "forms/resource_header.h"
#include "forms/tokenizer.h"

namespace reshape {

namespace {

[[noreturn]] void FailNestingTooDeep() { throw Failure(FailureKind::kNestingTooDeep); }

class BinaryFormReader {
 public:
  BinaryFormReader(std::string_view stream, std::size_t base, FormTree& tree)
      : reader_(stream), base_(base), tree_(tree) {}

  void ReadRoot() {
    reader_.CheckSignature();
    ReadObject(tree_.root);
  }
  std::size_t Position() const { return reader_.Position(); }

 private:
  Span SpanFrom(std::size_t at) const { return {base_ + at, base_ + reader_.Position()}; }
  void NoteReadsBack(bool readsBack) {
    if (!readsBack) tree_.readsBackAsText = false;
  }

  void ReadObject(FormObject& object);
  void ReadProperties(std::vector<FormProperty>& properties);
  void ReadValue(FormValue& value, bool inList);
  void ReadElements(FormValue& value);
  void ReadCollection(FormValue& value);
  void ReadSet(FormValue& value);
  void CheckFloat(const Extended& value, const Extended& limit);

  FormReader reader_;
  std::size_t base_;
  FormTree& tree_;
  int depth_ = 0;
};

void BinaryFormReader::ReadObject(FormObject& object) {
  NestingLevel level(depth_, FailNestingTooDeep);
  const std::size_t prefixAt = reader_.Position();
  const ObjectPrefix prefix = reader_.ReadObjectPrefix();
  object.prefix = SpanFrom(prefixAt);
  object.flags = prefix.flags;
  object.childPos = prefix.childPos;
  const std::size_t classAt = reader_.Position();
  object.className = reader_.ReadShortString();
  object.classSpan = SpanFrom(classAt);
  object.objectName = reader_.ReadShortString();
  NoteReadsBack(IsIdentifier(object.className) &&
                (object.objectName.empty() || IsIdentifier(object.objectName)));
  ReadProperties(object.properties);
  while (!reader_.AtEndMarker()) ReadObject(object.children.emplace_back());
  reader_.ExpectEndMarker();
}

void BinaryFormReader::ReadProperties(std::vector<FormProperty>& properties) {
  while (!reader_.AtEndMarker()) {
    FormProperty& property = properties.emplace_back();
    const std::size_t nameAt = reader_.Position();
    property.name = reader_.ReadShortString();
    property.nameSpan = SpanFrom(nameAt);
    NoteReadsBack(IsDottedIdentifier(property.name));
    ReadValue(property.value, false);
  }
  reader_.ExpectEndMarker();
}

void BinaryFormReader::CheckFloat(const Extended& value, const Extended& limit) {
  const std::string text = FloatToText(value);
  if (text == "NAN" || text.ends_with("INF")) return;
  Extended back;
  NoteReadsBack(TextToExtended(text, back) && back.MagnitudeAtMost(limit));
}

void BinaryFormReader::ReadValue(FormValue& value, bool inList) {
  const std::size_t at = reader_.Position();
  switch (reader_.PeekTag()) {
    case TagList:
      value.shape = ValueShape::kList;
      ReadElements(value);
      break;
    case TagCollection:
      value.shape = ValueShape::kCollection;
      ReadCollection(value);
      break;
    case TagSet:
      value.shape = ValueShape::kSet;
      ReadSet(value);
      break;
    case TagBinary:
      value.shape = ValueShape::kBinary;
      reader_.ReadTag();
      reader_.ReadBytes(reader_.ReadCount());
      break;
    case TagInt8:
    case TagInt16:
    case TagInt32: reader_.ReadIntegerValue(); break;
    case TagInt64: reader_.ReadInt64Value(); break;
    case TagExtended: CheckFloat(reader_.ReadExtendedValue(), Extended::Infinity()); break;
    case TagSingle: CheckFloat(Extended::FromDouble(reader_.ReadSingleValue()), Extended::Infinity()); break;
    case TagDouble: CheckFloat(Extended::FromDouble(reader_.ReadDoubleValue()), Extended::Infinity()); break;
    case TagCurrency:
      CheckFloat(Extended::FromInteger(reader_.ReadCurrencyValue()), kCurrencyTextLimit);
      break;
    case TagString:
    case TagLongString: reader_.ReadStringValue(); break;
    case TagWideString:
      // Any 16-bit units are a wide string: only the length needs checking.
      reader_.ReadTag();
      reader_.ReadBytes(std::size_t{reader_.ReadCount()} * 2);
      break;
    case TagUtf8String: reader_.ReadUtf8StringValue(); break;
    case TagIdent: {
      const std::string_view name = reader_.ReadIdentValue();
      // Null, as an identifier, would end the list it stands in when read back.
      NoteReadsBack(IsDottedIdentifier(name) && !(inList && SameIgnoringAsciiCase(name, "Null")));
      break;
    }
    case TagNull:
    case TagFalse:
    case TagTrue:
    case TagNil: reader_.ReadIdentValue(); break;
    default: throw Failure(FailureKind::kInvalidValue);
  }
  value.span = SpanFrom(at);
}

void BinaryFormReader::ReadElements(FormValue& value) {
  NestingLevel level(depth_, FailNestingTooDeep);
  reader_.ReadTag();
  std::vector<FormValue>& elements = value.Parts().elements;
  while (!reader_.AtEndMarker()) ReadValue(elements.emplace_back(), true);
  reader_.ExpectEndMarker();
}

void BinaryFormReader::ReadCollection(FormValue& value) {
  NestingLevel level(depth_, FailNestingTooDeep);
  reader_.ReadTag();
  std::vector<CollectionItem>& items = value.Parts().items;
  while (!reader_.AtEndMarker()) {
    CollectionItem& item = items.emplace_back();
    const std::uint8_t tag = reader_.PeekTag();
    if (tag == TagInt8 || tag == TagInt16 || tag == TagInt32) {
      const std::size_t at = reader_.Position();
      item.hasOrder = true;
      item.order = reader_.ReadIntegerValue();
      item.orderSpan = SpanFrom(at);
    }
    reader_.ExpectTag(TagList);
    ReadProperties(item.properties);
  }
  reader_.ExpectEndMarker();
}

void BinaryFormReader::ReadSet(FormValue& value) {
  reader_.ReadTag();
  value.Parts();
  std::size_t lineLength = 0;
  for (;;) {
    const std::string_view name = reader_.ReadShortString();
    if (name.empty()) break;
    value.Parts().names.push_back(name);
    NoteReadsBack(IsIdentifier(name));
    lineLength += name.size() + 2;
  }
  // The text form writes a set on one line.
  NoteReadsBack(lineLength < Tokenizer::kMaxLineLength / 2);
}

}  // namespace

FormTree ReadFormStream(std::string_view stream) {
  FormTree tree;
  tree.source = stream;
  BinaryFormReader reader(stream, 0, tree);
  reader.ReadRoot();
  tree.streamEnd = reader.Position();
  return tree;
}

FormTree ReadBinaryForm(std::string_view formFile) {
  FormTree tree;
  tree.source = formFile;
  tree.streamAt = SkipResourceHeader(formFile);
  BinaryFormReader reader(formFile.substr(tree.streamAt), tree.streamAt, tree);
  reader.ReadRoot();
  tree.streamEnd = tree.streamAt + reader.Position();
  return tree;
}

}  // namespace reshape
