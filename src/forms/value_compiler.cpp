// The values of property lines: numbers, strings, identifiers, lists, sets, collections and
// binary blocks, as the text form writes them.
#include "base/ascii_case.h"
#include "forms/extended.h"
#include "forms/form_compilation.h"

namespace reshape {

namespace {

// The words the text form writes for infinite and not-a-number floats: bare for extended
// values, with the letter of single and double values behind them.
bool IsFloatWord(std::string_view name, std::string_view word) {
  if (!name.starts_with(word)) return false;
  name.remove_prefix(word.size());
  return name.empty() || name == "s" || name == "d";
}

// The largest stored currency integer as the text form writes it, to 15 significant digits:
// 9.22337203685478E18, as the nearest extended value.
constexpr Extended kCurrencyTextLimit(false, 0x403E, 0x8000000000001060);

// Bytes join a wide string as the tokenizer decodes quoted bytes: zero-extended.
void AppendWidened(std::u16string& wide, std::string_view bytes) {
  for (char byte : bytes) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
}

}  // namespace

void FormCompilation::CompileValue(bool inList) {
  if (originals_ && CopyOriginalValue(inList)) return;
  switch (tokenizer_.Token()) {
    case TokString:
    case TokWideString: return CompileString();
    case TokIdentifier: return CompileIdentifier(inList);
    case TokInteger: return CompileInteger();
    case TokFloat: return CompileFloat();
    case '(': return CompileList();
    case '[': return CompileSet();
    case '<': return CompileCollection();
    case '{': return CompileBinary();
    default: tokenizer_.Fail("Invalid property value");
  }
}

void FormCompilation::CompileInteger() {
  std::string_view text = tokenizer_.TokenText();
  if (text == "-" && IsFloatWord(tokenizer_.IdentifierRightAfter(), "INF")) {
    tokenizer_.Advance();
    writer_->WriteExtendedValue(Extended::Infinity(true));
  } else if (std::int32_t value = 0; TextToInteger(text, value)) {
    writer_->WriteIntegerValue(value);
  } else if (Extended wide; TextToExtended(text, wide)) {
    // A decimal number beyond 32 bits (a float written without fraction) stays a float.
    writer_->WriteExtendedValue(wide);
  } else {
    tokenizer_.TokenAsInteger();
  }
  tokenizer_.Advance();
}

void FormCompilation::CompileFloat() {
  if (tokenizer_.FloatSuffix() == 'c' || tokenizer_.FloatSuffix() == 'C') {
    // The text holds the stored integer (the amount times 10000) of a currency value.
    writer_->WriteCurrencyValue(tokenizer_.TokenAsFloat(kCurrencyTextLimit).RoundToInteger());
  } else {
    writer_->WriteExtendedValue(tokenizer_.TokenAsFloat(Extended::Infinity()));
  }
  tokenizer_.Advance();
}

// A string expression: its bytes, or its 16-bit units once any part needed them.
void FormCompilation::CompileString() {
  bool isWide = false;
  std::string narrow;
  std::u16string wide;
  for (;;) {
    if (tokenizer_.Token() == TokWideString) {
      if (!isWide) {
        isWide = true;
        AppendWidened(wide, narrow);
      }
      wide += tokenizer_.WideText();
    } else if (isWide) {
      AppendWidened(wide, tokenizer_.TokenText());
    } else {
      narrow += tokenizer_.TokenText();
    }
    if (tokenizer_.Advance() != '+') break;
    if (tokenizer_.Advance() != TokString && tokenizer_.Token() != TokWideString)
      tokenizer_.Fail("String expected");
  }
  if (isWide)
    writer_->WriteWideStringValue(wide);
  else
    writer_->WriteStringValue(narrow);
}

void FormCompilation::CompileIdentifier(bool inList) {
  std::string_view name = tokenizer_.ReadDottedIdentifier();
  // Null is stored as the byte that ends a list: inside one it would cut the list short and
  // leave a stream that no longer reads.
  if (inList && SameIgnoringAsciiCase(name, "Null")) tokenizer_.Fail("Invalid property value");
  if (IsFloatWord(name, "INF"))
    writer_->WriteExtendedValue(Extended::Infinity());
  else if (IsFloatWord(name, "NAN"))
    writer_->WriteExtendedValue(Extended::QuietNaN());
  else
    writer_->WriteIdentValue(name);
  tokenizer_.Advance();
}

void FormCompilation::CompileList() {
  NestingLevel level = Nest();
  writer_->WriteListStart();
  tokenizer_.Advance();
  while (tokenizer_.Token() != ')') CompileValue(true);
  writer_->WriteEndMarker();
  tokenizer_.Advance();
}

void FormCompilation::CompileSet() {
  writer_->WriteTag(TagSet);
  if (tokenizer_.Advance() != ']') {
    for (;; tokenizer_.Advance()) {
      tokenizer_.Expect(TokIdentifier);
      if (setElements_) setElements_->push_back(tokenizer_.TokenText());
      writer_->WriteShortString(tokenizer_.TokenText());
      if (tokenizer_.Advance() == ']') break;
      tokenizer_.Expect(',');
    }
  }
  writer_->WriteShortString("");
  tokenizer_.Advance();
}

// Item properties go through the rules of the enclosing object, but are not its own list.
void FormCompilation::CompileCollection() {
  NestingLevel level = Nest();
  writer_->WriteTag(TagCollection);
  tokenizer_.Advance();
  while (tokenizer_.Token() != '>') {
    tokenizer_.ExpectKeyword("item");
    tokenizer_.Advance();
    std::size_t orderAt = 0;
    std::int32_t order = ReadOrderModifier(orderAt);
    if (const ValueSpan* span = orderAt ? FindOriginal(orderAt) : nullptr)
      WriteOriginal(*span);
    else if (order != -1)
      writer_->WriteIntegerValue(order);
    writer_->WriteListStart();
    while (!tokenizer_.IsKeyword("end") || IsPropertyName()) {
      tokenizer_.Expect(TokIdentifier);
      const std::size_t nameAt = tokenizer_.TokenOffset();
      std::string first(tokenizer_.TokenText());
      tokenizer_.Advance();
      CompileProperty(std::move(first), false, nameAt);
    }
    writer_->WriteEndMarker();
    tokenizer_.Advance();
  }
  writer_->WriteEndMarker();
  tokenizer_.Advance();
}

// The data goes straight behind its length, which is filled in afterwards: a copy of it would
// add the size of a large image to the peak memory of a compilation.
void FormCompilation::CompileBinary() {
  const std::size_t lengthAt = writer_->BeginBinary();
  tokenizer_.ReadHexBlock(writer_->Discards() ? nullptr : &writer_->Out());
  writer_->EndBinary(lengthAt);
  tokenizer_.Advance();
}

}  // namespace reshape
