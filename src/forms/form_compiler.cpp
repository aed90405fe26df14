#include "forms/form_compiler.h"

#include <cmath>
#include <limits>

#include "forms/extended.h"
#include "forms/property_rules.h"
#include "forms/resource_header.h"
#include "base/errors.h"
#include "base/ascii_case.h"

namespace reshape {

namespace {

// Counts one level of objects, lists and collections for as long as it lives.
class NestingLevel {
 public:
  explicit NestingLevel(CompileSession& session) : session_(session) {
    if (session.Depth >= kMaxNestingDepth) session.Parser.Fail("Nesting too deep");
    ++session.Depth;
  }
  ~NestingLevel() { --session_.Depth; }
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

 private:
  CompileSession& session_;
};

// A property may carry the name of a keyword; "=" or a dotted part after it on its line tells.
// Taken for the keyword, it would end the list early and the rest of a root would be lost.
bool IsPropertyName(const TParser& parser) { return parser.IsFollowedOnItsLineBy("=."); }

bool EndsPropertyList(const TParser& parser) {
  return (parser.IsKeyword("END") || parser.IsKeyword("OBJECT") || parser.IsKeyword("INHERITED")) &&
         !IsPropertyName(parser);
}

// The compiled form of an object whose opening keyword has been read and advanced past.
void CompileObjectAfterKeyword(CompileSession& session, std::uint8_t flags) {
  TParser& parser = session.Parser;
  NestingLevel level(session);
  CompileHeader(session, flags);
  bool inlineChildFollows = false;
  while (!EndsPropertyList(parser)) {
    if (parser.IsKeyword("INLINE")) {
      // A property may be named Inline; as such it is followed by "=" or ".".
      std::string word = parser.TokenText();
      if (parser.Advance() != '=' && parser.Token() != '.') {
        inlineChildFollows = true;
        break;
      }
      CompileProperty(session, std::move(word));
      continue;
    }
    CompileProperty(session);
  }
  WritePendingSetProperties(session);
  session.Writer.WriteEndMarker();
  if (inlineChildFollows) CompileObjectAfterKeyword(session, PrefixInline);
  while (!parser.IsKeyword("END")) CompileObject(session);
  session.Writer.WriteEndMarker();
  // The root's END is the last token read: whatever follows it is never looked at.
  if (session.Depth > 1) parser.Advance();
}

bool IsDecimalLiteral(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The words the text form writes for infinite and not-a-number floats: bare for extended
// values, with the letter of single and double values behind them.
bool IsFloatWord(std::string_view name, std::string_view word) {
  if (!name.starts_with(word)) return false;
  name.remove_prefix(word.size());
  return name.empty() || name == "s" || name == "d";
}

bool IsFollowedByInfinity(const TParser& parser) {
  return parser.IsFollowedDirectlyBy("INF") || parser.IsFollowedDirectlyBy("INFs") ||
         parser.IsFollowedDirectlyBy("INFd");
}

void CompileInteger(CompileSession& session) {
  TParser& parser = session.Parser;
  std::string text = parser.TokenText();
  if (text == "-" && IsFollowedByInfinity(parser)) {
    parser.Advance();
    session.Writer.WriteExtendedValue(-std::numeric_limits<long double>::infinity());
  } else if (std::int32_t value = 0; TextToInteger(text, value)) {
    session.Writer.WriteIntegerValue(value);
  } else if (long double wide = 0; IsDecimalLiteral(text) && TextToExtended(text, wide)) {
    // A whole number beyond 32 bits (a float written without fraction) stays a float.
    session.Writer.WriteExtendedValue(wide);
  } else {
    parser.TokenAsInteger();
  }
  parser.Advance();
}

// The largest stored currency integer as the text form writes it: 15 significant digits.
constexpr long double kCurrencyTextLimit = 9.22337203685478e18L;

void CompileFloat(CompileSession& session) {
  TParser& parser = session.Parser;
  long double value = parser.TokenAsFloat();
  if (parser.FloatSuffix() == 'c' || parser.FloatSuffix() == 'C') {
    // The text holds the stored integer (the amount times 10000) of a currency value.
    if (!(std::fabs(value) <= kCurrencyTextLimit)) {
      std::string number = parser.TokenText();
      number.pop_back();
      throw EConvertError("'" + number + "' is not a valid floating point value");
    }
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t scaled = value >= static_cast<long double>(kMax)   ? kMax
                          : value <= static_cast<long double>(kMin) ? kMin
                                                                    : std::llroundl(value);
    session.Writer.WriteCurrencyValue(scaled);
  } else {
    session.Writer.WriteExtendedValue(value);
  }
  parser.Advance();
}

void CompileIdentifier(CompileSession& session, bool inList) {
  std::string name = session.Parser.ReadDottedIdentifier();
  // Null is stored as the byte that ends a list: inside one it would cut the list short and
  // leave a stream that no longer reads.
  if (inList && SameIgnoringAsciiCase(name, "Null")) session.Parser.Fail("Invalid property value");
  if (IsFloatWord(name, "INF"))
    session.Writer.WriteExtendedValue(std::numeric_limits<long double>::infinity());
  else if (IsFloatWord(name, "NAN"))
    session.Writer.WriteExtendedValue(std::numeric_limits<long double>::quiet_NaN());
  else
    session.Writer.WriteIdentValue(name);
  session.Parser.Advance();
}

void CompileList(CompileSession& session) {
  NestingLevel level(session);
  session.Writer.WriteListStart();
  session.Parser.Advance();
  while (session.Parser.Token() != ')') {
    if (session.Parser.Token() == TokIdentifier)
      CompileIdentifier(session, true);
    else
      CompileValue(session);
  }
  session.Writer.WriteEndMarker();
  session.Parser.Advance();
}

void CompileSet(CompileSession& session) {
  TParser& parser = session.Parser;
  session.Writer.WriteTag(TagSet);
  if (parser.Advance() != ']') {
    for (;;) {
      parser.Expect(TokIdentifier);
      session.Writer.WriteShortString(parser.TokenText());
      if (parser.Advance() == ']') break;
      parser.Expect(',');
      parser.Advance();
    }
  }
  session.Writer.WriteShortString("");
  parser.Advance();
}

void CompileCollection(CompileSession& session) {
  TParser& parser = session.Parser;
  NestingLevel level(session);
  session.Writer.WriteTag(TagCollection);
  parser.Advance();
  while (parser.Token() != '>') {
    parser.ExpectKeyword("item");
    parser.Advance();
    std::int32_t order = ReadOrderModifier(session);
    if (order != -1) session.Writer.WriteIntegerValue(order);
    session.Writer.WriteListStart();
    while (!parser.IsKeyword("end") || IsPropertyName(parser)) CompileProperty(session);
    session.Writer.WriteEndMarker();
    parser.Advance();
  }
  session.Writer.WriteEndMarker();
  parser.Advance();
}

// Bytes join a wide string as the tokenizer decodes quoted bytes: zero-extended.
void AppendWidened(std::u16string& wide, std::string_view bytes) {
  for (char byte : bytes) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
}

void CompileBinary(CompileSession& session) {
  session.Writer.WriteBinaryValue([&](TStream& data) { session.Parser.ReadHexBlock(data); });
  session.Parser.Advance();
}

}  // namespace

void WriteFormFile(TStream& text, TStream& output, FormCompileContext& context) {
  TMemoryStream compiled;
  CompileForm(text, compiled, context);
  WriteResourceHeader(compiled, output);
}

void CompileForm(TStream& text, TMemoryStream& compiled, FormCompileContext& context) {
  context.PendingSets.clear();
  TParser parser(text);
  TMyWriter writer(compiled);
  CompileSession session{parser, writer, context};
  writer.WriteFormSignature();
  CompileObject(session);
  writer.Flush();
}

void CompileObject(CompileSession& session) {
  TParser& parser = session.Parser;
  std::uint8_t flags = 0;
  if (parser.IsKeyword("INHERITED"))
    flags = PrefixInherited;
  else if (parser.IsKeyword("INLINE"))
    flags = PrefixInline;
  else
    parser.ExpectKeyword("OBJECT");
  parser.Advance();
  CompileObjectAfterKeyword(session, flags);
}

void CompileHeader(CompileSession& session, std::uint8_t flags) {
  TParser& parser = session.Parser;
  FormCompileContext& context = session.Context;
  parser.Expect(TokIdentifier);
  std::string className = parser.TokenText();
  context.CurrentObjectName.clear();
  if (parser.Advance() == ':') {
    parser.Advance();
    parser.Expect(TokIdentifier);
    context.CurrentObjectName = std::move(className);
    className = parser.TokenText();
    parser.Advance();
  }
  std::int32_t position = ReadOrderModifier(session);
  // -1 stands for "no position"; every other value, 0 included, orders the child.
  if (position != -1) flags |= PrefixChildPos;
  session.Writer.WriteObjectPrefix(flags, position);
  if (const TCommand* rename = context.Rules.FindClassRename(className)) {
    className = rename->NewClassName;
    context.Run.Changed("Renamed class \"" + rename->ClassName + "\" to \"" + rename->NewClassName +
                        "\"");
  }
  // An empty name would read back as the end of a list, and a length byte of 240 or more as an
  // object prefix: either would corrupt the form, so it fails and the form stays as it was.
  if (className.empty()) parser.Fail("Class name expected");
  if (className.size() >= kMaxClassNameLength) parser.Fail("Class name too long");
  context.CurrentClassName = className;
  session.Writer.WriteShortString(context.CurrentClassName);
  session.Writer.WriteShortString(context.CurrentObjectName);
}

std::int32_t ReadOrderModifier(CompileSession& session) {
  TParser& parser = session.Parser;
  if (parser.Token() != '[') return -1;
  parser.Advance();
  parser.Expect(TokInteger);
  std::int32_t position = parser.TokenAsInteger();
  parser.Advance();
  parser.Expect(']');
  parser.Advance();
  return position;
}

void CompileValue(CompileSession& session) {
  switch (session.Parser.Token()) {
    case TokString:
    case TokWideString: {
      JoinedString joined = JoinStrings(session);
      if (joined.IsWide)
        session.Writer.WriteWideStringValue(joined.Wide);
      else
        session.Writer.WriteStringValue(joined.Narrow);
      return;
    }
    case TokIdentifier: return CompileIdentifier(session, false);
    case TokInteger: return CompileInteger(session);
    case TokFloat: return CompileFloat(session);
    case '(': return CompileList(session);
    case '[': return CompileSet(session);
    case '<': return CompileCollection(session);
    case '{': return CompileBinary(session);
    default: session.Parser.Fail("Invalid property value");
  }
}

JoinedString JoinStrings(CompileSession& session) {
  TParser& parser = session.Parser;
  JoinedString joined;
  for (;;) {
    if (parser.Token() == TokWideString) {
      if (!joined.IsWide) {
        joined.IsWide = true;
        AppendWidened(joined.Wide, joined.Narrow);
      }
      joined.Wide += parser.WideText();
    } else if (joined.IsWide) {
      AppendWidened(joined.Wide, parser.TokenText());
    } else {
      joined.Narrow += parser.TokenText();
    }
    if (parser.Advance() != '+') return joined;
    if (parser.Advance() != TokString && parser.Token() != TokWideString)
      parser.Fail("String expected");
  }
}

}  // namespace reshape
