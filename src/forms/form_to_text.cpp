#include "forms/form_to_text.h"

#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "forms/binary_form_reader.h"
#include "forms/extended.h"
#include "forms/form_stream.h"
#include "forms/resource_header.h"
#include "base/bytes.h"
#include "base/errors.h"

namespace reshape {

namespace {

constexpr std::size_t kLineChunk = 64;
constexpr std::size_t kBinaryChunk = 32;
constexpr std::string_view kLineEnd = "\r\n";

// Whether a string unit may stand inside a quoted run, and the byte it is written as there.
bool InRun(unsigned char byte) { return byte >= 32 && byte != '\''; }
bool InRun(char16_t unit) { return unit >= 32 && unit <= 255 && unit != '\''; }
// The unit as the code page sees it when deciding where a double-byte character begins.
unsigned char Rendered(unsigned char byte) { return byte; }
unsigned char Rendered(char16_t unit) {
  return unit <= 255 ? static_cast<unsigned char>(unit) : '?';
}

class FormToText {
 public:
  FormToText(std::string_view source, std::string& out, CodePage codePage)
      : source_(source), out_(out), codePage_(codePage) {}

  void EmitObject(FormObject& object);
  void EmitValue(FormValue& value);
  // A number, string or identifier, read from its bytes.
  void EmitLeaf(FormReader& reader);

 private:
  void EmitText(std::string_view s) { out_.append(s); }
  void EmitLineEnd() {
    EmitText(kLineEnd);
    ++line_;
  }
  void EmitIndent();
  void EmitLineBreak() {
    EmitLineEnd();
    EmitIndent();
  }
  void EmitNumber(std::int64_t value);
  // A float as FloatToText writes it, then the letter of its type, if any.
  void EmitFloat(const Extended& value, std::string_view suffix) {
    EmitText(FloatToText(value));
    EmitText(suffix);
  }
  void EmitObjectHeader(const FormObject& object);
  void EmitProperty(FormProperty& property);
  void EmitNewSet(const NewSet& set);
  template <typename EmitElement>
  void EmitElements(std::string_view open, std::string_view close, std::size_t count,
                    EmitElement emitElement);
  void EmitSet(const FormValue& value);
  void EmitCollection(FormValue& value);
  void EmitBinary(FormReader& reader);
  template <typename Unit>
  void EmitStringText(std::basic_string_view<Unit> s);

  std::string_view source_;
  std::string& out_;
  CodePage codePage_;
  int nestingLevel_ = 0;
  int line_ = 1;
};

void FormToText::EmitIndent() {
  static const std::string kSpaces(256, ' ');
  auto count = static_cast<std::size_t>(nestingLevel_) * 2;
  for (; count > kSpaces.size(); count -= kSpaces.size()) EmitText(kSpaces);
  EmitText(std::string_view(kSpaces).substr(0, count));
}

void FormToText::EmitNumber(std::int64_t value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  out_.append(digits, static_cast<std::size_t>(result.ptr - digits));
}

void FormToText::EmitObject(FormObject& object) {
  EmitObjectHeader(object);
  object.headerLine = line_;
  ++nestingLevel_;
  for (FormProperty& property : object.properties)
    if (!property.removed) EmitProperty(property);
  for (const NewSet& set : object.newSets) EmitNewSet(set);
  object.listEndLine = line_;
  for (FormObject& child : object.children) EmitObject(child);
  --nestingLevel_;
  EmitIndent();
  EmitText("end");
  EmitLineEnd();
}

void FormToText::EmitObjectHeader(const FormObject& object) {
  EmitIndent();
  EmitText(object.flags & PrefixInherited ? "inherited "
           : object.flags & PrefixInline  ? "inline "
                                          : "object ");
  if (!object.objectName.empty()) {
    EmitText(object.objectName);
    EmitText(": ");
  }
  EmitText(object.ClassName());
  if (object.flags & PrefixChildPos) {
    EmitText(" [");
    EmitNumber(object.childPos);
    EmitText("]");
  }
  EmitLineEnd();
}

void FormToText::EmitProperty(FormProperty& property) {
  EmitIndent();
  property.line = line_;
  EmitText(property.Name());
  EmitText(" = ");
  EmitValue(property.value);
  EmitLineEnd();
}

void FormToText::EmitNewSet(const NewSet& set) {
  EmitIndent();
  EmitText(set.name);
  EmitText(" = [");
  for (std::size_t i = 0; i < set.elements.size(); ++i) {
    if (i > 0) EmitText(", ");
    EmitText(set.elements[i]);
  }
  EmitText("]");
  EmitLineEnd();
}

void FormToText::EmitValue(FormValue& value) {
  switch (value.shape) {
    case ValueShape::kList:
      return EmitElements("(", ")", value.Parts().elements.size(),
                          [&](std::size_t i) { EmitValue(value.Parts().elements[i]); });
    case ValueShape::kCollection: return EmitCollection(value);
    case ValueShape::kSet: return EmitSet(value);
    default: break;
  }
  FormReader reader(source_.substr(value.span.begin, value.span.end - value.span.begin));
  if (value.shape == ValueShape::kBinary) return EmitBinary(reader);
  EmitLeaf(reader);
}

void FormToText::EmitLeaf(FormReader& reader) {
  switch (reader.PeekTag()) {
    case TagInt8:
    case TagInt16:
    case TagInt32: EmitNumber(reader.ReadIntegerValue()); break;
    case TagExtended: EmitFloat(reader.ReadExtendedValue(), ""); break;
    case TagSingle: EmitFloat(Extended::FromDouble(reader.ReadSingleValue()), "s"); break;
    case TagCurrency: EmitFloat(Extended::FromInteger(reader.ReadCurrencyValue()), "c"); break;
    case TagDouble: EmitFloat(Extended::FromDouble(reader.ReadDoubleValue()), "d"); break;
    case TagString:
    case TagLongString: {
      std::string_view value = reader.ReadStringValue();
      EmitStringText(std::basic_string_view<unsigned char>(
          reinterpret_cast<const unsigned char*>(value.data()), value.size()));
      break;
    }
    case TagWideString: EmitStringText(std::u16string_view(reader.ReadWideStringValue())); break;
    case TagUtf8String: EmitStringText(std::u16string_view(reader.ReadUtf8StringValue())); break;
    case TagInt64: EmitNumber(reader.ReadInt64Value()); break;
    case TagNull:
    case TagIdent:
    case TagFalse:
    case TagTrue:
    case TagNil: EmitText(reader.ReadIdentValue()); break;
    default: throw Failure(FailureKind::kInvalidValue);
  }
}

// A list or a collection: each element on a line of its own, one level deeper.
template <typename EmitElement>
void FormToText::EmitElements(std::string_view open, std::string_view close, std::size_t count,
                              EmitElement emitElement) {
  EmitText(open);
  ++nestingLevel_;
  for (std::size_t i = 0; i < count; ++i) {
    EmitLineBreak();
    emitElement(i);
  }
  --nestingLevel_;
  EmitText(close);
}

// The elements as read, then those the rules add.
void FormToText::EmitSet(const FormValue& value) {
  EmitText("[");
  bool first = true;
  for (const auto* names : {&value.Parts().names, &value.Parts().added}) {
    for (std::string_view name : *names) {
      if (!first) EmitText(", ");
      first = false;
      EmitText(name);
    }
  }
  EmitText("]");
}

void FormToText::EmitCollection(FormValue& value) {
  EmitElements("<", ">", value.Parts().items.size(), [&](std::size_t i) {
    CollectionItem& item = value.Parts().items[i];
    EmitText("item");
    if (item.hasOrder) {
      EmitText(" [");
      EmitNumber(item.order);
      EmitText("]");
    }
    EmitLineEnd();
    ++nestingLevel_;
    for (FormProperty& property : item.properties)
      if (!property.removed) EmitProperty(property);
    --nestingLevel_;
    EmitIndent();
    EmitText("end");
  });
}

// Lines of 32 bytes, each on a line of its own when there are 32 or more; the text is sized
// once and written in place, since image data is the bulk of many forms.
void FormToText::EmitBinary(FormReader& reader) {
  reader.ReadTag();
  const std::string_view data = reader.ReadBytes(reader.ReadCount());
  EmitText("{");
  ++nestingLevel_;
  const bool ownLines = data.size() >= kBinaryChunk;
  const std::size_t indent = static_cast<std::size_t>(nestingLevel_) * 2;
  const std::size_t lines = ownLines ? (data.size() + kBinaryChunk - 1) / kBinaryChunk : 0;
  const std::size_t at = out_.size();
  out_.resize(at + 2 * data.size() + lines * (kLineEnd.size() + indent), ' ');
  char* to = out_.data() + at;
  for (std::size_t done = 0; done < data.size(); done += kBinaryChunk) {
    if (ownLines) {
      std::memcpy(to, kLineEnd.data(), kLineEnd.size());
      to += kLineEnd.size() + indent;
    }
    const std::size_t count = std::min(data.size() - done, kBinaryChunk);
    WriteUpperHex(data.data() + done, count, to);
    to += 2 * count;
  }
  line_ += static_cast<int>(lines);
  --nestingLevel_;
  EmitText("}");
}

// Quoted runs of printable units and #n codes for the others, in lines of 64 characters joined
// by " +". Under a double-byte code page a line never ends between the two bytes of one
// character: the run gives up the lead byte to the next line.
template <typename Unit>
void FormToText::EmitStringText(std::basic_string_view<Unit> s) {
  if (s.empty()) {
    EmitText("''");
    return;
  }
  ++nestingLevel_;
  if (s.size() > kLineChunk) EmitLineBreak();
  const bool doubleByte = codePage_.IsDoubleByte();
  std::size_t characterStart = 0;  // scans character boundaries from the start, for the cut
  auto isTrailByte = [&](std::size_t at) {
    while (characterStart < at)
      characterStart += codePage_.IsLeadByte(Rendered(s[characterStart])) ? 2 : 1;
    return characterStart > at;
  };
  std::size_t i = 0;
  std::size_t lineStart = 0;
  while (i < s.size()) {
    bool lineFull = false;
    if (!InRun(s[i])) {
      EmitText("#");
      EmitNumber(s[i]);
      ++i;
    } else {
      std::size_t limit = lineStart + kLineChunk;
      std::size_t end = i;
      while (end < s.size() && end < limit && InRun(s[end])) ++end;
      if (doubleByte && end == limit && end < s.size() && isTrailByte(end)) {
        --end;
        lineFull = true;
      }
      if (end > i) {
        EmitText("'");
        if constexpr (sizeof(Unit) == 1) {
          out_.append(reinterpret_cast<const char*>(s.data() + i), end - i);
        } else {
          char run[kLineChunk];
          for (std::size_t k = i; k < end; ++k) run[k - i] = static_cast<char>(s[k]);
          out_.append(run, end - i);
        }
        EmitText("'");
      }
      i = end;
    }
    if ((lineFull || i - lineStart >= kLineChunk) && i < s.size()) {
      EmitText(" +");
      EmitLineBreak();
      lineStart = i;
    }
  }
  --nestingLevel_;
}

}  // namespace

std::string PrintFormText(FormTree& tree, CodePage codePage) {
  // Image data, the bulk of a large form, takes two hexadecimal digits a byte and the line
  // layout around them: reserving that spares the copies of growing the text.
  std::string text;
  text.reserve((tree.streamEnd - tree.streamAt) / 2 * 5 + 4096);
  FormToText(tree.source, text, codePage).EmitObject(tree.root);
  return text;
}

std::string FormFileToText(std::string_view formFile, CodePage codePage) {
  FormTree tree = ReadBinaryForm(formFile);
  return PrintFormText(tree, codePage);
}

std::string FormStreamToText(std::string_view stream, CodePage codePage, std::size_t* consumed) {
  FormTree tree = ReadFormStream(stream);
  if (consumed) *consumed = tree.streamEnd;
  return PrintFormText(tree, codePage);
}

std::string FormValueToText(std::string_view value) {
  std::string text;
  FormReader reader(value);
  FormToText(value, text, CodePage()).EmitLeaf(reader);
  return text;
}

}  // namespace reshape
