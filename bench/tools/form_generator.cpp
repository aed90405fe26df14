#include "form_generator.h"

#include <algorithm>
#include <bit>

#include "forms/form_stream.h"
#include "forms/resource_header.h"

namespace reshape::bench {

namespace {

// numerator / divisor (divisor below 2^62) as the nearest extended value, ties to even.
Extended Quotient(std::uint64_t numerator, std::uint64_t divisor) {
  if (numerator == 0) return Extended();
  std::uint64_t significand = numerator / divisor, rest = numerator % divisor;
  const auto nextBit = [&] {
    rest *= 2;
    const bool bit = rest >= divisor;
    if (bit) rest -= divisor;
    return std::uint64_t{bit};
  };
  int bits = std::bit_width(significand), exponent = bits - 1;  // of the leading bit
  if (bits == 0) {
    while (nextBit() == 0) --exponent;
    significand = bits = 1;
  }
  for (; bits < 64; ++bits) significand = significand << 1 | nextBit();
  if (nextBit() != 0 && (rest != 0 || (significand & 1) != 0) && ++significand == 0) {
    significand = Extended::kIntegerBit;
    ++exponent;
  }
  return Extended(false, static_cast<std::uint16_t>(exponent + Extended::kExponentBias), significand);
}

class FormBuilder {
 public:
  FormBuilder(Random& random, const Vocabulary& vocabulary, std::string& stream,
              std::size_t targetBytes, bool newer)
      : random_(random), vocabulary_(vocabulary), stream_(stream), writer_(stream),
        target_(targetBytes), newer_(newer) {}

  void Build(std::size_t index) {
    writer_.WriteFormSignature();
    const bool inherited = random_.Chance(0.1);
    writer_.WriteObjectPrefix(inherited ? PrefixInherited : 0, 0);
    writer_.WriteShortString("TForm" + std::to_string(index));
    writer_.WriteShortString("Form" + std::to_string(index));
    Int("Left", static_cast<std::int32_t>(random_.Below(800)));
    Int("Top", static_cast<std::int32_t>(random_.Below(600)));
    Str("Caption", "Form number " + std::to_string(index));
    Int("ClientHeight", 480);
    Int("ClientWidth", 640);
    Ident("Color", "clBtnFace");
    Ident("Font.Charset", "DEFAULT_CHARSET");
    Int("Font.Height", -11);
    Str("Font.Name", "MS Sans Serif");
    Set("Font.Style", {});
    Ident("OldCreateOrder", "False");
    Int("PixelsPerInch", 96);
    Int("TextHeight", 13);
    writer_.WriteEndMarker();
    while (Size() < target_) Control(1);
    writer_.WriteEndMarker();
  }

 private:
  // The size the form would have with wide strings and 32-bit integers, so that a newer form
  // holds the same controls and draws the same random numbers.
  std::size_t Size() const {
    return static_cast<std::size_t>(static_cast<std::int64_t>(stream_.size()) + saved_);
  }
  void Saved(std::size_t oldBytes, std::size_t newBytes) {
    saved_ += static_cast<std::int64_t>(oldBytes) - static_cast<std::int64_t>(newBytes);
  }
  void Name(std::string_view name) { writer_.WriteShortString(name); }
  void Int(std::string_view name, std::int32_t value) {
    Name(name);
    writer_.WriteIntegerValue(value);
  }
  void Ident(std::string_view name, std::string_view value) {
    Name(name);
    writer_.WriteIdentValue(value);
  }
  void Str(std::string_view name, std::string_view value) {
    Name(name);
    StrValue(value);
  }
  // value is UTF-8; ASCII text is written as a short or long string either way.
  void StrValue(std::string_view value) {
    if (std::all_of(value.begin(), value.end(), [](char c) { return c >= 0; }))
      return writer_.WriteStringValue(value);
    if (!newer_) return writer_.WriteWideStringValue(Utf16(value));
    std::string old;
    FormWriter(old).WriteWideStringValue(Utf16(value));
    Saved(old.size(), 5 + value.size());
    writer_.WriteTag(TagUtf8String);
    LittleEndian(value.size(), 4);
    writer_.WriteBytes(value);
  }
  void LittleEndian(std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) writer_.WriteTag(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  // Decodes the generator's own well-formed UTF-8 (no characters beyond the first plane).
  static std::u16string Utf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
      const auto lead = static_cast<std::uint8_t>(utf8[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
      char16_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
      for (std::size_t k = 1; k < length; ++k)
        c = static_cast<char16_t>((c << 6) | (utf8[i + k] & 0x3F));
      out += c;
      i += length;
    }
    return out;
  }
  void Set(std::string_view name, std::initializer_list<std::string_view> elements) {
    Name(name);
    writer_.WriteTag(TagSet);
    for (std::string_view element : elements) writer_.WriteShortString(element);
    writer_.WriteShortString("");
  }
  std::string Sentence(std::size_t words) {
    static constexpr const char* kWords[] = {"open", "the", "file", "selected", "window",
                                             "press", "Ctrl+O", "to", "show", "all", "items",
                                             "of", "current", "list", "and", "keep", "it's", "gr\u00F6\u00DFe",
                                             "\u20AC", "na\u00EFve"};
    std::string text;
    for (std::size_t i = 0; i < words; ++i) {
      if (i > 0) text += ' ';
      text += kWords[random_.Below(sizeof kWords / sizeof *kWords)];
    }
    return text;
  }

  void Control(int depth) {
    const std::string& className = vocabulary_.UsedClass(random_);
    const std::uint32_t number = ++controls_;
    if (random_.Chance(0.03))
      writer_.WriteObjectPrefix(PrefixInherited | PrefixChildPos,
                                static_cast<std::int32_t>(random_.Below(20)));
    else if (random_.Chance(0.01))
      writer_.WriteObjectPrefix(PrefixInline, 0);
    writer_.WriteShortString(className);
    writer_.WriteShortString(className.substr(1) + std::to_string(number));
    Int("Left", static_cast<std::int32_t>(random_.Below(700)));
    Int("Top", static_cast<std::int32_t>(random_.Below(500)));
    Int("Width", static_cast<std::int32_t>(random_.Between(20, 400)));
    Int("Height", static_cast<std::int32_t>(random_.Between(13, 300)));
    if (random_.Chance(0.7)) Str("Caption", Sentence(random_.Between(1, 4)));
    if (random_.Chance(0.3)) Ident("Ctl3D", random_.Chance(0.5) ? "False" : "True");
    if (random_.Chance(0.3)) Ident("ParentCtl3D", "False");
    if (random_.Chance(0.2)) Ident("Flat", "True");
    if (random_.Chance(0.2)) Ident("Transparent", random_.Chance(0.5) ? "False" : "True");
    if (random_.Chance(0.3)) Str("Font.Name", "Tahoma");
    if (random_.Chance(0.3)) Set("Font.Style", {"fsBold", "fsItalic"});
    if (random_.Chance(0.3)) Set("Anchors", {"akLeft", "akTop", "akRight"});
    if (random_.Chance(0.2)) Str("Hint", Sentence(random_.Between(10, 40)));
    if (random_.Chance(0.05)) Str("Hint", "First line\r\nSecond line with 'quotes'");
    if (random_.Chance(0.03)) Str("Caption", "Price in \u20AC and \u00A3: " + std::string(12, 'x'));
    if (random_.Chance(0.1)) {
      const auto tag = static_cast<std::int32_t>(random_.Next() & 0x7FFFFFFF);
      Name("Tag");
      if (!newer_) {
        writer_.WriteIntegerValue(tag);
      } else {
        std::string old;
        FormWriter(old).WriteIntegerValue(tag);
        Saved(old.size(), 9);
        writer_.WriteTag(TagInt64);
        LittleEndian(static_cast<std::uint64_t>(tag), 8);
      }
    }
    Int("TabOrder", static_cast<std::int32_t>(number % 40));
    if (random_.Chance(0.3)) Ident("OnClick", className.substr(1) + std::to_string(number) + "Click");
    if (random_.Chance(0.1)) Floats();
    if (random_.Chance(0.1)) Lines();
    if (random_.Chance(0.08)) Columns();
    if (random_.Chance(0.12)) Image();
    writer_.WriteEndMarker();
    if (depth < 5 && random_.Chance(0.25)) {
      const std::size_t children = random_.Between(1, 8);
      for (std::size_t i = 0; i < children && Size() < target_; ++i) Control(depth + 1);
    }
    writer_.WriteEndMarker();
  }

  void Floats() {
    Name("MinValue");
    writer_.WriteExtendedValue(-Quotient(random_.Below(100000), 8));
    Name("MaxValue");
    writer_.WriteExtendedValue(Quotient(random_.Below(1000000), 3));
    Name("Ratio");
    writer_.WriteSingleValue(static_cast<float>(random_.Below(1000)) / 16);
    Name("Precise");
    writer_.WriteDoubleValue(static_cast<double>(random_.Below(1000000)) / 7);
    Name("Price");
    writer_.WriteCurrencyValue(static_cast<std::int64_t>(random_.Below(100000000)));
  }

  void Lines() {
    Name("Lines.Strings");
    writer_.WriteListStart();
    const std::size_t count = random_.Between(3, 60);
    for (std::size_t i = 0; i < count; ++i) StrValue(Sentence(random_.Between(2, 30)));
    writer_.WriteEndMarker();
  }

  void Columns() {
    Name("Columns");
    writer_.WriteTag(TagCollection);
    const std::size_t count = random_.Between(2, 8);
    for (std::size_t i = 0; i < count; ++i) {
      if (random_.Chance(0.3)) writer_.WriteIntegerValue(static_cast<std::int32_t>(i));
      writer_.WriteListStart();
      Str("Caption", "Column " + std::to_string(i));
      Int("Width", static_cast<std::int32_t>(random_.Between(40, 200)));
      writer_.WriteEndMarker();
    }
    writer_.WriteEndMarker();
  }

  // Bitmap-like data: a header, then rows of slowly changing pixels.
  void Image() {
    const std::size_t limit = std::max<std::size_t>(1024, std::min<std::size_t>(64 * 1024, target_ / 8));
    const std::size_t size = random_.Between(200, limit);
    Name("Picture.Data");
    {
      std::string bytes(size, '\0');
      std::uint8_t pixel = static_cast<std::uint8_t>(random_.Below(256));
      for (std::size_t i = 0; i < size; ++i) {
        if (i < 54) {
          bytes[i] = static_cast<char>("BM6"[i % 3]);
        } else {
          if (random_.Below(4) == 0) pixel = static_cast<std::uint8_t>(random_.Next());
          bytes[i] = static_cast<char>(pixel);
        }
      }
      const std::size_t lengthAt = writer_.BeginBinary();
      writer_.WriteBytes(bytes);
      writer_.EndBinary(lengthAt);
    }
  }

  Random& random_;
  const Vocabulary& vocabulary_;
  std::string& stream_;
  FormWriter writer_;
  std::size_t target_;
  bool newer_;
  std::int64_t saved_ = 0;
  std::uint32_t controls_ = 0;
};

}  // namespace

std::string FormFile(Random& random, const Vocabulary& vocabulary, std::size_t index,
                     std::size_t targetBytes, bool newer) {
  std::string compiled;
  {
    FormBuilder builder(random, vocabulary, compiled, targetBytes, newer);
    builder.Build(index);
  }
  return ResourceHeader(compiled) + compiled;
}

}  // namespace reshape::bench
