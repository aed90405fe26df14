#include "forms/text_values.h"

#include "base/ascii_case.h"
#include "forms/decimal_to_extended.h"
#include "forms/property_rules.h"

namespace reshape {

namespace {

// The words the text form writes for infinite and not-a-number floats: bare for extended
// values, with the letter of single and double values behind them.
bool IsFloatWord(std::string_view name, std::string_view word) {
  if (!name.starts_with(word)) return false;
  name.remove_prefix(word.size());
  return name.empty() || name == "s" || name == "d";
}

// Bytes join a wide string as the tokenizer decodes quoted bytes: zero-extended.
void AppendWidened(std::u16string& wide, std::string_view bytes) {
  for (char byte : bytes) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
}

void CompileInteger(Tokenizer& tokenizer, FormWriter& writer) {
  std::string_view text = tokenizer.TokenText();
  if (text == "-" && IsFloatWord(tokenizer.IdentifierRightAfter(), "INF")) {
    tokenizer.Advance();
    writer.WriteExtendedValue(Extended::Infinity(true));
  } else if (std::int32_t value = 0; TextToInteger(text, value)) {
    writer.WriteIntegerValue(value);
  } else if (Extended wide; TextToExtended(text, wide)) {
    // A decimal number beyond 32 bits (a float written without fraction) stays a float.
    writer.WriteExtendedValue(wide);
  } else {
    tokenizer.TokenAsInteger();
  }
  tokenizer.Advance();
}

void CompileFloat(Tokenizer& tokenizer, FormWriter& writer) {
  if (tokenizer.FloatSuffix() == 'c' || tokenizer.FloatSuffix() == 'C') {
    // The text holds the stored integer (the amount times 10000) of a currency value.
    writer.WriteCurrencyValue(tokenizer.TokenAsFloat(kCurrencyTextLimit).RoundToInteger());
  } else {
    writer.WriteExtendedValue(tokenizer.TokenAsFloat(Extended::Infinity()));
  }
  tokenizer.Advance();
}

// A string expression: its bytes, or its 16-bit units once any part needed them.
void CompileString(Tokenizer& tokenizer, FormWriter& writer) {
  bool isWide = false;
  std::string narrow;
  std::u16string wide;
  for (;;) {
    if (tokenizer.Token() == TokWideString) {
      if (!isWide) {
        isWide = true;
        AppendWidened(wide, narrow);
      }
      wide += tokenizer.WideText();
    } else if (isWide) {
      AppendWidened(wide, tokenizer.TokenText());
    } else if (!writer.Discards()) {
      narrow += tokenizer.TokenText();
    }
    if (tokenizer.Advance() != '+') break;
    if (tokenizer.Advance() != TokString && tokenizer.Token() != TokWideString)
      tokenizer.Fail("String expected");
  }
  if (isWide)
    writer.WriteWideStringValue(wide);
  else
    writer.WriteStringValue(narrow);
}

void CompileIdentifier(Tokenizer& tokenizer, FormWriter& writer, bool inList) {
  std::string_view name = tokenizer.ReadDottedIdentifier();
  // Null is stored as the byte that ends a list: inside one it would cut the list short and
  // leave a stream that no longer reads.
  if (inList && SameIgnoringAsciiCase(name, "Null")) tokenizer.Fail("Invalid property value");
  if (IsFloatWord(name, "INF"))
    writer.WriteExtendedValue(Extended::Infinity());
  else if (IsFloatWord(name, "NAN"))
    writer.WriteExtendedValue(Extended::QuietNaN());
  else
    writer.WriteIdentValue(name);
  tokenizer.Advance();
}

}  // namespace

bool StartsSingleValue(TokenKind token) {
  return token == TokString || token == TokWideString || token == TokIdentifier ||
         token == TokInteger || token == TokFloat;
}

void CompileSingleValue(Tokenizer& tokenizer, FormWriter& writer, bool inList) {
  switch (tokenizer.Token()) {
    case TokString:
    case TokWideString: return CompileString(tokenizer, writer);
    case TokIdentifier: return CompileIdentifier(tokenizer, writer, inList);
    case TokInteger: return CompileInteger(tokenizer, writer);
    case TokFloat: return CompileFloat(tokenizer, writer);
    default: tokenizer.Fail("Invalid property value");
  }
}

// The data goes straight behind its length, which is filled in afterwards: a copy of it would
// add the size of a large image to the peak memory of a compilation.
void CompileBinaryValue(Tokenizer& tokenizer, FormWriter& writer) {
  const std::size_t lengthAt = writer.BeginBinary();
  tokenizer.ReadHexBlock(writer.Discards() ? nullptr : &writer.Out());
  writer.EndBinary(lengthAt);
  tokenizer.Advance();
}

std::optional<std::string> ScriptTextOf(std::string_view text) {
  Tokenizer tokenizer(text);
  std::string bytes;
  FormWriter writer(bytes);
  CompileSingleValue(tokenizer, writer, false);
  return ValueAsScriptText(bytes);
}

}  // namespace reshape
