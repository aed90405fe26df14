// What the form fuzz targets share: the conversions in memory, the rules they compile with, and
// the round-trip property of the text form.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "forms/decimal_to_extended.h"
#include "forms/extended.h"
#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/value_kinds.h"
#include "base/code_page.h"
#include "script/script_reader.h"

namespace reshape::fuzz {

// Class renames, property renames, deletions and set conversions for the classes and
// properties that real forms use most, so that rules act on seeds and their mutations alike.
// A property rule's class is the one after renaming.
constexpr std::string_view kFormRulesScript =
    "RENC>TForm1,TMainForm\r\n"
    "RENC>TButton,TBitBtn\r\n"
    "RENC>TLabel,TStaticTextWithAMuchLongerClassNameThanBefore\r\n"
    "RENC>TPanel,TPanel\r\n"
    "RENP>Caption,Text\r\n"
    "RENP>TMainForm:Left,X\r\n"
    "RENP>Font.Name,Font.Face\r\n"
    "RENP>TBitBtn:Glyph.Data,Image\r\n"
    "RENP>Items.Strings,Lines\r\n"
    "DELP>Height\r\n"
    "DELP>TBitBtn:TabOrder\r\n"
    "DELP>Picture.Data\r\n"
    "DELP>Columns\r\n"
    "DELP>TPanel:Align\r\n"
    "DELP>TMainForm:Position\r\n"
    "PSET>TMainForm:Position=poScreenCenter,Options[poCenter]\r\n"
    "PSET>TMainForm:Position=poDesigned,Options[poDesigned]\r\n"
    "PSET>TMainForm:Visible=False,Options[poHidden]\r\n"
    "PSET>TBitBtn:Default=True,Options[boDefault]\r\n"
    "PSET>TBitBtn:Cancel=True,Options[boCancel]\r\n"
    "PSET>TPanel:Align=alClient,Style[stClient]\r\n"
    "PSET>TPanel:BevelOuter=bvNone,Bevels[bvNone]\r\n"
    "PSET>TPanel:Caption=,Style[stEmpty]\r\n"
    "PSET>TEdit:Text=,EditOptions[eoEmpty]\r\n";

// One compilation's surroundings without a file system: commands, a logger that keeps
// nothing, and the rules sorted out of the commands.
struct CompileRun {
  explicit CompileRun(CommandList list) : commands(std::move(list)) {}
  CommandList commands;
  FormRules rules{commands};
  NullSink run;
};

// Whether the code page can make a difference to this text: only bytes above 127 lead
// double-byte characters.
inline bool HasHighBytes(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

// The binary form stream of a form file: what follows its resource header.
inline std::string StreamOfFormFile(const std::string& file) {
  return file.substr(SkipResourceHeader(file));
}

// The text form of a binary form stream (signature first), or false on a clean failure.
inline bool StreamToText(const std::string& stream, CodePage codePage, std::string& text) {
  return Accepts([&] { text = FormStreamToText(stream, codePage); });
}

// Whether a value of the text form is a number written in digits (sign, digits, ".", "E").
inline bool IsFloatText(std::string_view value) {
  std::size_t digits = value.starts_with('-') ? 1 : 0;
  return value.size() > digits && value[digits] >= '0' && value[digits] <= '9' &&
         value.find_first_not_of("0123456789.E+-") == std::string_view::npos;
}

// A value of the text form that is a float with the letter of a single or double value.
inline bool IsSuffixedFloat(std::string_view value) {
  if (value.size() < 2 || (value.back() != 's' && value.back() != 'd')) return false;
  value.remove_suffix(1);
  return value == "INF" || value == "-INF" || value == "NAN" || IsFloatText(value);
}

// A float whose 15 digits lie below the smallest normal extended value (an unnormal number, or
// one so close above it that rounding took the digits below): they read back as a denormal
// number, or as 0, and the text form writes either as 0.
inline bool IsBelowNormalRange(std::string_view value) {
  // Such a number is always written with a negative exponent; a line of hexadecimal digits of
  // a binary value never has one.
  // The smallest normal value times 1 + 10^-14.
  constexpr Extended kLimit(false, 1, Extended::kIntegerBit + 92234);
  Extended number;
  return IsFloatText(value) && value.find("E-") != std::string_view::npos &&
         TextToExtended(value, number) && !kLimit.MagnitudeAtMost(number);
}

// A header or collection item line that carries the order -1, which stands for no order.
inline bool HasNoOrder(std::string_view line) {
  if (!line.ends_with(" [-1]")) return false;
  line.remove_prefix(std::min(line.size(), line.find_first_not_of(' ')));
  return line == "item [-1]" || line.starts_with("object ") || line.starts_with("inherited ") ||
         line.starts_with("inline ");
}

// The text as compiling and converting it back gives it: the compiler writes every float as an
// 80-bit one, so single and double values lose their "s" and "d"; a float at the bottom of the
// extended range comes back as 0; and an order of -1 is the same as none, so it is dropped.
inline std::string AsCompiledBack(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  while (!text.empty()) {
    std::size_t end = text.find("\r\n");
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    // The value is what follows " = ", or the whole line for an element of a list, without
    // the ")" that close lists behind it.
    std::size_t from = line.find(" = ");
    from = from == std::string_view::npos ? line.find_first_not_of(' ') : from + 3;
    std::size_t to = line.find_last_not_of(')');
    std::string_view value;
    if (from != std::string_view::npos && to != std::string_view::npos && to >= from)
      value = line.substr(from, to + 1 - from);
    if (HasNoOrder(line)) {
      result.append(line.substr(0, line.size() - 5));
    } else if (IsSuffixedFloat(value) || IsBelowNormalRange(value)) {
      std::string_view number = IsSuffixedFloat(value) ? value.substr(0, value.size() - 1) : value;
      result.append(line.substr(0, from));
      result.append(IsBelowNormalRange(number) ? std::string_view("0") : number);
      result.append(line.substr(to + 1));
    } else {
      result.append(line);
    }
    if (end != std::string_view::npos) result.append("\r\n");
  }
  return result;
}

// The stream that the text compiles to without rules, or false on a clean failure.
inline bool CompilePlain(const std::string& text, std::string& compiled) {
  CompileRun plain{CommandList()};
  std::string output;
  if (!Accepts([&] { CompileFormStream(text, plain.rules, plain.run, output); })) return false;
  Check(!plain.run.changed, "a compilation without rules reported a change");
  compiled = std::move(output);
  return true;
}

// A text form that the converter wrote from the stream original, whose names are all
// identifiers, must compile (without rules) and come out of the next conversion byte for byte
// as it went in, but for what the compiler is meant to drop; and its values must keep their
// kinds.
inline void CheckTextRoundTrip(const std::string& text, const std::string& original,
                               CodePage codePage) {
  std::string compiled;
  Check(CompilePlain(text, compiled), "a converted text form does not compile", text);
  std::string again;
  Check(StreamToText(compiled, codePage, again),
        "the compiled text form does not convert back to text", text);
  CheckSameText(AsCompiledBack(text), again,
                "text form changed by compiling it and converting it back");
  CheckSameKinds(original, compiled, "values changed their kind in the round trip");
}

// Any text form that compiles gives a text form that survives the round trip: names that the
// tokenizer reads differently from how they were written change once, and only once.
inline void CheckTextSettles(const std::string& text, CodePage codePage) {
  std::string compiled;
  if (!CompilePlain(text, compiled)) return;
  std::string settled;
  Check(StreamToText(compiled, codePage, settled),
        "the compiled text form does not convert back to text", text);
  CheckTextRoundTrip(settled, compiled, codePage);
}

}  // namespace reshape::fuzz
