#include "forms/form_to_text.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "forms/extended.h"
#include "forms/form_stream.h"
#include "forms/resource_header.h"
#include "base/errors.h"

namespace reshape {

namespace {

constexpr std::size_t kLineChunk = 64;
constexpr std::size_t kBinaryChunk = 32;
constexpr std::string_view kLineEnd = "\r\n";

// The two upper-case hexadecimal digits of every byte value, looked up a byte at a time.
constexpr auto kHexPairs = [] {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::array<std::array<char, 2>, 256> pairs{};
  for (std::size_t b = 0; b < 256; ++b) pairs[b] = {kDigits[b >> 4], kDigits[b & 15]};
  return pairs;
}();

[[noreturn]] void FailNestingTooDeep() { throw Failure(FailureKind::kNestingTooDeep); }

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
  // spans, when given, receives every value's span (byte offsets plus base).
  FormToText(FormReader& reader, std::string& out, CodePage codePage,
             std::vector<ValueSpan>* spans, std::size_t base, ValuePlace* lastValue)
      : reader_(reader), out_(out), codePage_(codePage), spans_(spans), base_(base),
        lastValue_(lastValue) {}

  void EmitObject();
  void EmitValue();

 private:
  void EmitText(std::string_view s) { out_.append(s); }
  void EmitIndent();
  void EmitLineBreak() {
    EmitText(kLineEnd);
    EmitIndent();
  }
  void EmitNumber(std::int64_t value);
  // A float as FloatToText writes it, then the letter of its type, if any.
  void EmitFloat(const Extended& value, std::string_view suffix) {
    EmitText(FloatToText(value));
    EmitText(suffix);
  }
  void EmitObjectHeader();
  void EmitProperty();
  void EmitValueText(std::uint8_t tag);
  void NoteSpan(std::size_t textAt, std::size_t byteAt);
  template <typename EmitElement>
  void EmitElements(std::string_view open, std::string_view close, EmitElement emitElement);
  void EmitSet();
  void EmitCollection();
  void EmitBinary();
  template <typename Unit>
  void EmitStringText(std::basic_string_view<Unit> s);

  FormReader& reader_;
  std::string& out_;
  CodePage codePage_;
  std::vector<ValueSpan>* spans_;
  std::size_t base_;
  ValuePlace* lastValue_;
  int nestingLevel_ = 0;
  int depth_ = 0;
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

void FormToText::EmitObject() {
  NestingLevel level(depth_, FailNestingTooDeep);
  EmitObjectHeader();
  ++nestingLevel_;
  while (!reader_.AtEndMarker()) EmitProperty();
  reader_.ExpectEndMarker();
  while (!reader_.AtEndMarker()) EmitObject();
  reader_.ExpectEndMarker();
  --nestingLevel_;
  EmitIndent();
  EmitText("end\r\n");
}

void FormToText::EmitObjectHeader() {
  const std::size_t prefixAt = reader_.Position();
  ObjectPrefix prefix = reader_.ReadObjectPrefix();
  const std::size_t prefixEnd = reader_.Position();
  std::string_view className = reader_.ReadShortString();
  std::string_view objectName = reader_.ReadShortString();
  EmitIndent();
  // The prefix byte, with the child position after it, is a value of the header's keyword.
  if (spans_ && prefixEnd != prefixAt)
    spans_->push_back({out_.size(), base_ + prefixAt, base_ + prefixEnd});
  EmitText(prefix.flags & PrefixInherited ? "inherited "
           : prefix.flags & PrefixInline  ? "inline "
                                          : "object ");
  if (!objectName.empty()) {
    EmitText(objectName);
    EmitText(": ");
  }
  EmitText(className);
  if (prefix.flags & PrefixChildPos) {
    EmitText(" [");
    EmitNumber(prefix.childPos);
    EmitText("]");
  }
  EmitText(kLineEnd);
}

void FormToText::EmitProperty() {
  EmitIndent();
  EmitText(reader_.ReadShortString());
  EmitText(" = ");
  EmitValue();
  EmitText(kLineEnd);
}

void FormToText::EmitValue() {
  const std::uint8_t tag = reader_.PeekTag();
  const std::size_t textAt = out_.size(), byteAt = reader_.Position();
  if (lastValue_) *lastValue_ = {true, tag, base_ + byteAt};
  EmitValueText(tag);
  if (spans_ && tag != TagList && tag != TagCollection) NoteSpan(textAt, byteAt);
}

// A long string's text starts on a line of its own: the span starts at its first token.
void FormToText::NoteSpan(std::size_t textAt, std::size_t byteAt) {
  while (out_[textAt] == '\r' || out_[textAt] == '\n' || out_[textAt] == ' ') ++textAt;
  spans_->push_back({textAt, base_ + byteAt, base_ + reader_.Position()});
}

void FormToText::EmitValueText(std::uint8_t tag) {
  switch (tag) {
    case TagList: EmitElements("(", ")", [this] { EmitValue(); }); break;
    case TagInt8:
    case TagInt16:
    case TagInt32: EmitNumber(reader_.ReadIntegerValue()); break;
    case TagExtended: EmitFloat(reader_.ReadExtendedValue(), ""); break;
    case TagSingle: EmitFloat(Extended::FromDouble(reader_.ReadSingleValue()), "s"); break;
    case TagCurrency: EmitFloat(Extended::FromInteger(reader_.ReadCurrencyValue()), "c"); break;
    case TagDouble: EmitFloat(Extended::FromDouble(reader_.ReadDoubleValue()), "d"); break;
    case TagString:
    case TagLongString: {
      std::string_view value = reader_.ReadStringValue();
      EmitStringText(std::basic_string_view<unsigned char>(
          reinterpret_cast<const unsigned char*>(value.data()), value.size()));
      break;
    }
    case TagWideString: EmitStringText(std::u16string_view(reader_.ReadWideStringValue())); break;
    case TagUtf8String: EmitStringText(std::u16string_view(reader_.ReadUtf8StringValue())); break;
    case TagInt64: EmitNumber(reader_.ReadInt64Value()); break;
    case TagNull:
    case TagIdent:
    case TagFalse:
    case TagTrue:
    case TagNil: EmitText(reader_.ReadIdentValue()); break;
    case TagBinary: EmitBinary(); break;
    case TagSet: EmitSet(); break;
    case TagCollection: EmitCollection(); break;
    default: throw Failure(FailureKind::kInvalidValue);
  }
}

// A list or a collection: each element on a line of its own, one level deeper.
template <typename EmitElement>
void FormToText::EmitElements(std::string_view open, std::string_view close,
                              EmitElement emitElement) {
  NestingLevel level(depth_, FailNestingTooDeep);
  reader_.ReadTag();
  EmitText(open);
  ++nestingLevel_;
  while (!reader_.AtEndMarker()) {
    EmitLineBreak();
    emitElement();
  }
  reader_.ExpectEndMarker();
  --nestingLevel_;
  EmitText(close);
}

void FormToText::EmitSet() {
  reader_.ReadTag();
  EmitText("[");
  for (bool first = true;; first = false) {
    std::string_view name = reader_.ReadShortString();
    if (name.empty()) break;
    if (!first) EmitText(", ");
    EmitText(name);
  }
  EmitText("]");
}

void FormToText::EmitCollection() {
  EmitElements("<", ">", [this] {
    EmitText("item");
    std::uint8_t tag = reader_.PeekTag();
    if (tag == TagInt8 || tag == TagInt16 || tag == TagInt32) {
      EmitText(" [");
      EmitValue();
      EmitText("]");
    }
    EmitText(kLineEnd);
    reader_.ExpectTag(TagList);
    ++nestingLevel_;
    while (!reader_.AtEndMarker()) EmitProperty();
    reader_.ExpectEndMarker();
    --nestingLevel_;
    EmitIndent();
    EmitText("end");
  });
}

void FormToText::EmitBinary() {
  reader_.ReadTag();
  std::uint32_t remaining = reader_.ReadCount();
  bool ownLines = remaining >= kBinaryChunk;
  EmitText("{");
  ++nestingLevel_;
  char digits[2 * kBinaryChunk];
  while (remaining > 0) {
    std::size_t count = std::min<std::size_t>(remaining, kBinaryChunk);
    std::string_view data = reader_.ReadBytes(count);
    for (std::size_t i = 0; i < count; ++i)
      std::memcpy(digits + 2 * i, kHexPairs[static_cast<unsigned char>(data[i])].data(), 2);
    if (ownLines) EmitLineBreak();
    out_.append(digits, 2 * count);
    remaining -= static_cast<std::uint32_t>(count);
  }
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

std::string ConvertStream(std::string_view stream, CodePage codePage, std::size_t* consumed,
                          std::vector<ValueSpan>* spans, std::size_t base, ValuePlace* lastValue) {
  // Image data, the bulk of a large form, takes two hexadecimal digits a byte and the line
  // layout around them: reserving that spares the copies of growing the text.
  std::string text;
  text.reserve(stream.size() / 2 * 5 + 4096);
  FormReader reader(stream);
  FormToText converter(reader, text, codePage, spans, base, lastValue);
  reader.CheckSignature();
  converter.EmitObject();
  if (consumed) *consumed = reader.Position();
  return text;
}

}  // namespace

std::string FormStreamToText(std::string_view stream, CodePage codePage, std::size_t* consumed) {
  return ConvertStream(stream, codePage, consumed, nullptr, 0, nullptr);
}

std::string FormValueToText(std::string_view value) {
  std::string text;
  FormReader reader(value);
  FormToText(reader, text, CodePage(), nullptr, 0, nullptr).EmitValue();
  return text;
}

std::string FormFileToText(std::string_view formFile, CodePage codePage,
                           OriginalValues* originals, ValuePlace* lastValue) {
  const std::size_t headerSize = SkipResourceHeader(formFile);
  const std::string_view stream = formFile.substr(headerSize);
  if (!originals) return ConvertStream(stream, codePage, nullptr, nullptr, headerSize, lastValue);
  originals->formFile = formFile;
  originals->spans.clear();
  originals->streamAt = headerSize;
  std::size_t consumed = 0;
  std::string text =
      ConvertStream(stream, codePage, &consumed, &originals->spans, headerSize, lastValue);
  originals->streamEnd = headerSize + consumed;
  return text;
}

}  // namespace reshape
