// Text forms compiled, and edited in place by the rules. Rule rows are checked both ways: the
// form edited in place, and the binary way (compiled with the rules, then converted to text)
// must agree. Then the compiler and the tokenizer it reads with.
#include "forms/text_form_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "forms/form_compiler.h"
#include "forms/test_stream_builder.h"
#include "forms/test_text_forms.h"
#include "forms/tokenizer.h"

namespace reshape::test {
namespace {

TEST(TextFormEditor, TellsTextFormsByTheirFirstWord) {
  const std::pair<std::string, bool> cases[] = {
      {"\xEF\xBB\xBF\r\n\t INHERITED A: TA", true}, {"Inline F: TF", true}, {"object:", true},
      {"objects", false}, {"\xEF\xBB\xBF", false}, {"TPF0\x06TForm1", false}, {"object\xC3\xA9", false},
  };
  for (const auto& [file, text] : cases) EXPECT_EQ(IsTextForm(file), text) << file;
}

using Lines = std::vector<std::string>;

std::string Log(std::string_view message) { return "Form1.dfm> " + std::string(message); }
std::string Form(std::string_view className, std::string_view properties) {
  return "object P: " + std::string(className) + "\n" + std::string(properties) + "end\n";
}

const std::string kFlat = Log(R"(Converted propertry "TPanel.Ctl3D = False" to "TPanel.Options[poFlat]")");
const std::string kPset = "PSET>TPanel:Ctl3D=False,Options[poFlat]\n";
const std::string kDeleted = Log(R"(Deleted propertry "Gone")");
const std::string kConvertedP = Log(R"(Converted propertry "TA.P = x" to "TA.S[e]")");

std::string Nested(int depth, const std::string& open, const std::string& close, const std::string& middle = "") {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  text += middle;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

struct Row {
  std::string script, text, expected;  // the migrated text, or the failure message
  Lines log = {};
};

TEST(TextFormEditor, RulesBothWays) {
  const std::string deep = Nested(256, "object T\n", "end\n"), items = Nested(255, "<item P = ", " end>", "1");
  const Row rows[] = {
      {"RENP>ctl3d,Flat3D\nRENP>Name,Wrong\nRENP>Font.Name,Font.Face\nRENP>TButton:Left,A\nRENP>Left,B\nRENP>TPanel:Left,C",
       Form("TPanel", "  Left = 8\n  Ctl3D = False\n  Font . Name = 'A'\n  Name = 'P'\n"),
       Form("TPanel", "  B = 8\n  Flat3D = False\n  Font.Face = 'A'\n  Wrong = 'P'\n"),
       {Log(R"(Renamed propertry "Left" to "B")"), Log(R"(Renamed propertry "ctl3d" to "Flat3D")"),
        Log(R"(Renamed propertry "Font.Name" to "Font.Face")"), Log(R"(Renamed propertry "Name" to "Wrong")")}},
      {"RENC>TPanel,TNew\nRENC>tpanel,TOther\nRENC>TNew,TThird\nRENP>TNew:Left,X", Form("TPANEL", "  Left = 8\n"),
       Form("TNew", "  X = 8\n"),
       {Log(R"(Renamed class "TPanel" to "TNew")"), Log(R"(Renamed propertry "Left" to "X")")}},
      {"DELP>Gone\nRENP>Width,W\nPSET>TPanel:Width=1,S[e]",
       Form("TPanel", "  Gone = <\n    item\n      Width = 1\n    end>\n"), Form("TPanel", ""), {kDeleted}},
      // Every kind of value is dropped whole.
      {"DELP>TPanel:Gone",
       Form("TPanel", "  Gone = -INFs\n  Gone = 1.5c\n  Gone = F.B\n  Gone = 'a' +\n    'b' + #8364\n"
                      "  Gone = [a, b]\n  Gone = (\n    1\n    (2 'x')\n    <>)\n  Gone = <\n"
                      "    item [1]\n      V = (1)\n      S = <\n        item\n        end>\n    end>\n"
                      "  Gone = {\n    0A1B\n    2C}\n  Top = 4\n"),
       Form("TPanel", "  Top = 4\n"), Lines(8, kDeleted)},
      {"DELP>TPanel:Ctl3D\n" + kPset, Form("TPanel", "  Ctl3D = True\n  Ctl3D = False\n"),
       Form("TPanel", "  Options = [poFlat]\n"), {Log(R"(Deleted propertry "Ctl3D")"), kFlat}},
      // Rename before conversion before deletion.
      {"DELP>Ctl3D\n" + kPset + "RENP>Ctl3D,Flat", Form("TPanel", "  Ctl3D = False\n"),
       Form("TPanel", "  Flat = False\n"), {Log(R"(Renamed propertry "Ctl3D" to "Flat")")}},
      // One set property per name, in any case; elements it holds already are not added again.
      {"PSET>T:A=1,First[a]\nPSET>T:B=1,Second[b]\nPSET>T:C=1,first[c]",
       Form("T", "  B = 1\n  A = 1\n  C = 1\n  FIRST = [A]\n"), Form("T", "  FIRST = [A, c]\n  Second = [b]\n"),
       {Log(R"(Converted propertry "T.B = 1" to "T.Second[b]")"),
        Log(R"(Converted propertry "T.A = 1" to "T.First[a]")"),
        Log(R"(Converted propertry "T.C = 1" to "T.first[c]")")}},
      {"DELP>Options\n" + kPset, Form("TPanel", "  Options = [a]\n  Ctl3D = False\n"),
       Form("TPanel", "  Options = [poFlat]\n"), {Log(R"(Deleted propertry "Options")"), kFlat}},
      {kPset, Form("TPanel", "  Options = [a]\n  Options = 1\n  Ctl3D = False\n"),
       Form("TPanel", "  Options = [a]\n  Options = 1\n  Options = [poFlat]\n"), {kFlat}},
      // Conversions in collection items go to the enclosing object; each object has its own set;
      // the value compares as the text form writes it.
      {kPset, "object F: TPanel\n  I = <\n    item\n      Ctl3D = False\n      Options = [a]\n    end>\n"
              "  object C: TPanel\n    Ctl3D = False\n  end\n  object D: TPanel\n  end\nend\n",
       "object F: TPanel\n  I = <\n    item\n      Options = [a]\n    end>\n  Options = [poFlat]\n"
       "  object C: TPanel\n    Options = [poFlat]\n  end\n  object D: TPanel\n  end\nend\n", {kFlat, kFlat}},
      {"PSET>T:P=On,S[p]\nPSET>T:Q=On,S[q]\nPSET>T:R=12,S[r]\nPSET>T:U=1.5,S[u]\nPSET>T:V=F,S[v]\nPSET>T:W=[a],S[w]\n"
       "PSET>T:X=a,S[x]", Form("T", "  P = 'O'#110\n  Q = 'On' + 'x'\n  R = $C\n  U = 1.50\n  V = F.B\n  W = [a]\n  X = #1000'a'\n"),
       Form("T", "  Q = 'On' + 'x'\n  V = F.B\n  W = [a]\n  X = #1000'a'\n  S = [p, r, u]\n"),
       {Log(R"(Converted propertry "T.P = On" to "T.S[p]")"), Log(R"(Converted propertry "T.R = 12" to "T.S[r]")"),
        Log(R"(Converted propertry "T.U = 1.5" to "T.S[u]")")}},
      {"RENP>Top,Y", Form("T", "  B = {" + std::string(66, 'A') + "}\n  Top = 4\n"),
       Form("T", "  B = {" + std::string(66, 'A') + "}\n  Y = 4\n"), {Log(R"(Renamed propertry "Top" to "Y")")}},
      // A PSET rule names its class; its value compares ignoring ASCII case.
      {"PSET>:P=1,S[p]\nPSET>T:Q=on,S[q]", Form("T", "  P = 1\n  Q = 'ON'\n"), Form("T", "  P = 1\n  S = [q]\n"),
       {Log(R"(Converted propertry "T.Q = on" to "T.S[q]")")}},
      // Longest names that read back, and names that would not: the form fails.
      {"PSET>T:C=F,O[" + std::string(255, 'e') + "]\nRENP>L,A.B" + std::string(251, 'c'),
       Form("T", "  L = 1\n  C = F\n"),
       Form("T", "  A.B" + std::string(251, 'c') + " = 1\n  O = [" + std::string(255, 'e') + "]\n"),
       {Log("Renamed propertry \"L\" to \"A.B" + std::string(251, 'c') + "\""),
        Log("Converted propertry \"T.C = F\" to \"T.O[" + std::string(255, 'e') + "]\"")}},
      {"RENP>L," + std::string(256, 'P'), Form("T", "\n  L = 1\n"), "Property name expected on line 3"},
      {"RENP>L,A=B", Form("T", "  L = 1\n"), "Property name expected on line 2"},
      {"PSET>T:L=1,[e]", Form("T", "  L = 1\n"), "Property name expected on line 3"},
      {"PSET>T:L=1,O[e" + std::string(255, 'e') + "]", Form("T", "  L = 1\n"), "Set element expected on line 3"},
      {"PSET>T:L=1,O[po=Flat]", Form("T", "  L = 1\n"), "Set element expected on line 3"},
      {"RENC>T,", Form("T", ""), "Class name expected on line 2"},
      {"RENC>T,A.B", Form("T", ""), "Class name expected on line 2"},
      {"RENC>T," + std::string(240, 'T'), Form("T", ""), "Class name too long on line 2"},
      {"RENC>T," + std::string(239, 'T'), Form("T", ""), Form(std::string(239, 'T'), ""),
       {Log("Renamed class \"T\" to \"" + std::string(239, 'T') + "\"")}},
      // A dropped value fails where and as the same value fails when compiled.
      {"DELP>Gone", Form("T", "  Gone = (1\n"), "Invalid property value on line 4"},
      {"DELP>Gone", Form("T", "  Gone = A.\n"), "Identifier expected on line 2"},
      {"DELP>Gone", Form("T", "  Gone = " + std::string(300, '(') + "\n"), "Nesting too deep on line 2"},
      {"DELP>Gone", Form("T", "  Gone 8\n"), "''='' expected on line 2"},
      {"DELP>Gone", Form("T", "  Gone = 1-2\n"), "'1-2' is not a valid floating point value"},
      // The layout of the edits: untouched bytes stay, whatever their breaks and indentation.
      {"RENC>TZ,TY", "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend",
       "\xEF\xBB\xBFobject A: TA\r\n\tP = 'a' + 'x'\n  Q = #1000'\xC3\xA9'\rend"},
      {"RENC>T\xC3\xA9,TB", "object A: T\xC3\xA9\r\n  object B:t\xC3\xA9 [2]\r\n  end\r\nend",
       "object A: TB\r\n  object B:TB [2]\r\n  end\r\nend",
       Lines(2, "Form1.dfm> Renamed class \"T\xC3\xA9\" to \"TB\"")},
      {"DELP>Gone", "object A: TA\r\n\tGone = 1\r\n\tTop = 2\r\nend\r\n", "object A: TA\r\n\tTop = 2\r\nend\r\n",
       {kDeleted}},
      {"DELP>Gone", "object A: TA\r  Gone = 'a' +\r    'b'\r  Top = 2\rend", "object A: TA\r  Top = 2\rend",
       {kDeleted}},
      {"DELP>Gone", "object A: TA\n  Top = 1 Gone = 2\n  Gone = 3 Top = 1\n  Gone = 4\t\nend",
       "object A: TA\n  Top = 1 \n  Top = 1\nend", Lines(3, kDeleted)},
      {"DELP>Gone", "object A: TA\n  Caption = 'object'\n  Gone = object\nend",
       "object A: TA\n  Caption = 'object'\nend", {kDeleted}},
      // A converted property goes; its set is a new line before the first child or the end.
      {"PSET>TA:P=x,S[e]", "object A: TA\r\n    P = x\r\n  object B: TB\r\n  end\r\nend",
       "object A: TA\r\n    S = [e]\r\n  object B: TB\r\n  end\r\nend", {kConvertedP}},
      {"PSET>TA:P=x,S[e]", "  object A: TA P = x\n  end", "  object A: TA \n    S = [e]\n  end", {kConvertedP}},
      {"PSET>TA:P=x,S[e]", "object A: TA\n  S = [ ]\n  P = x\n  inline F: TF\n  end\nend",
       "object A: TA\n  S = [ e]\n  inline F: TF\n  end\nend", {kConvertedP}},
      // Texts the compiler cannot read fail as it fails.
      {"", "object 5", "Identifier expected on line 1"}, {"", "object A [x] end", "Number expected on line 1"},
      {"", "object A [1 end", "'']'' expected on line 1"}, {"", "object A\n  P 5", "''='' expected on line 2"},
      {"", "object A\n  P.5 = 1", "Identifier expected on line 2"},
      {"", "object A\r\n  P = 'a' +\r\n 5\r\nend", "String expected on line 3"},
      {"", "object A\n  P = <x>", "item expected on line 2"}, {"", "object A\n  P = {0A1}", "Invalid binary value on line 2"},
      {"", "object A\n  P = {0A1 B2}", "Invalid binary value on line 2"},
      {"", "object A\n  P = {\n00\n0G}", "Invalid binary value on line 4"},
      {"", "object A\n  P = {\n0011\n", "Invalid binary value on line 4"},
      {"", std::string("object A\n  P = {00\0}", 20), "Invalid binary value on line 2"},
      // Null is stored as the byte that ends a list, so no list can hold it.
      {"", "object A\r\n  P = (\r\n    1\r\n    null)\r\nend", "Invalid property value on line 4"},
      {"", "object A\r\n  P = 1\r\n  object B: T\r\n  end\r\n", "OBJECT expected on line 5"},
      // The root is level 1, each object, list and collection one more.
      {"", deep, deep}, {"", "object T\n" + deep + "end\n", "Nesting too deep on line 257"},
      {"", "object A\n P = " + items + "\nend", "object A\n P = " + items + "\nend"},
      {"", "object A\n P = (" + items + ")\nend", "Nesting too deep on line 2"},
      // A blank before the dot ends the identifier; the dot then starts the next property.
      {"", "object A\r\n  P = Form1\r\n .Button1\r\nend", "Identifier expected on line 3"},
      {"", "object A\n P = 1E30c", "'1E30' is not a valid floating point value"},
      {"", "object A\n P = -INFO", "'-' is not a valid integer value"},
      {"", "object A [99999999999] end", "'99999999999' is not a valid integer value"},
      {"DELP>Gone", "\xEF\xBB\xBF", "OBJECT expected on line 1"},
      {"DELP>Gone", "object A: TA\n  P = 'x\nend", "Invalid string constant on line 2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script + "\n" + row.text);
    const CommandList commands = ParseScript(row.script);
    const TextFormRun run = EditTextFormRun(row.text, commands);
    EXPECT_EQ(run.failure.empty() ? run.text : run.failure, row.expected);
    EXPECT_EQ(run.log, row.log);
    EXPECT_EQ(CheckConsistency(row.text, commands), "");
  }
}

TEST(TextFormEditor, OddValues) {
  CommandList commands = ParseScript("PSET>T:P=x,S[e]");
  commands[0].PropValue = std::string(1, '\0');  // what #256 would be cut to
  EXPECT_EQ(EditTextFormRun(Form("T", "  P = #256\n"), commands).log, Lines{});
}

using test::CompileRun;
using test::FormBytes;

FormBytes Root(std::string_view className = "", std::string_view name = "", int flags = 0) {
  FormBytes bytes;
  bytes.Signature();
  if (flags) bytes.Prefix(static_cast<std::uint8_t>(flags));
  return className.empty() ? bytes : bytes.Object(className, name);
}

enum Way { kBoth, kToText, kCompile };

// Object headers both ways where the text is the one the conversion writes, else one way.
TEST(CompileForm, HeadersAndObjects) {
  const std::tuple<std::string, std::string, Way> cases[] = {
      {"object A: TA\r\n  inherited F: TF\r\n  end\r\n  object X: TX\r\n  end\r\nend\r\n",
       Root("TA", "A").End().Prefix(PrefixInline | PrefixInherited).Object("TF", "F").End().End().Prefix(8)
           .Object("TX", "X").End().End().End(), kToText},
      {"OBJECT TForm1 End", Root("TForm1").End().End(), kCompile},
      {"object B: TButton [-1] end", Root("TButton", "B").End().End(), kCompile},
      {"object B: TButton [-2]\r\nend\r\n", Root("", "", PrefixChildPos).Int8(-2).Object("TButton", "B").End().End(), kBoth},
      {"INLINE F: TF [$100] end", Root("", "", PrefixInline | PrefixChildPos).Int16(256).Object("TF", "F").End().End(),
       kCompile},
      // A keyword followed by "=" or "." on its line is a property; text after the root's end is ignored.
      {"object F: TF\r\n  Inline = 5\r\n  inline.X = 1\r\n  inline Frame1: TFrame1\r\n    End = True\r\n"
       "  end\r\nend\r\n= 6 'unterminated",
       Root("TF", "F").Prop("Inline").Int8(5).Prop("inline.X").Int8(1).End()
           .Prefix(PrefixInline).Object("TFrame1", "Frame1").Prop("End").Byte(TagTrue).End().End().End(), kCompile},
  };
  for (const auto& [text, bytes, way] : cases) {
    EXPECT_EQ(way == kCompile ? text : FormStreamToText(bytes, CodePage()), text);
    EXPECT_EQ(way == kToText ? bytes : CompileRun().Compile(text), bytes) << text;
  }
}

TEST(CompileForm, HeaderNamedAfterTheRenamedRoot) {
  CompileRun run("RENC>TForm1,TMainForm");
  EXPECT_EQ(CompileFormFile("object Form1: TFORM1\r\nend\r\n", run.rules, run.run),
            test::FormFile("TMAINFORM", Root("TMainForm", "Form1").End().End()));
}

// The tokens of text, each as a letter for its kind (Identifier, String, Wide string, Number,
// Float; a symbol stands for itself) and its text, then "|"; or "!" and the failure's message.
std::string Tokens(const std::string& text, std::size_t maxLine = Tokenizer::kMaxLineLength) {
  std::string tokens;
  try {
    for (Tokenizer tokenizer(text, maxLine); tokenizer.Token() != TokEnd; tokenizer.Advance()) {
      const int kind = tokenizer.Token();
      tokens += kind == TokIdentifier ? 'I' : kind == TokString ? 'S' : kind == TokWideString ? 'W'
                : kind == TokInteger ? 'N' : kind == TokFloat ? 'F' : static_cast<char>(kind);
      tokens.append(tokenizer.TokenText()) += '|';
    }
  } catch (const Failure& e) {
    tokens += "!" + TextOf(e).message;
  }
  return tokens;
}

TEST(Tokenizer, TokenSequencesAndErrors) {
  const std::pair<std::string, std::string> cases[] = {
      {"object F1: T\r\n_a1 = 8", "Iobject|IF1|::|IT|I_a1|==|N8|"},
      {"'it''s' '' #65#66 #'x'", std::string("Sit's|S|SAB|S\0x|", 16)},
      {"'a'#13#10'b' '\xe9\xff' #255", "Sa\r\nb|S\xe9\xff|S\xff|"}, {"'x'#8364 #256", "W'x'#8364|W#256|"},
      {"$1F $ -5 - 5", "N$1F|N$|N-5|N-|N5|"}, {"1.5 2.5E3 1-2 12s 7d 3C 12sx", "F1.5|F2.5E3|F1-2|F12s|F7d|F3C|F12s|Ix|"},
      {"()[]<>{},.+:\x80", "((|))|[[|]]|<<|>>|{{|}}|,,|..|++|::|I\x80|"},
      {"\xc3\xa9t\xc3\xa9 _\xff" "1", "I\xc3\xa9t\xc3\xa9|I_\xff" "1|"}, {std::string("abc\0def", 7), "Iabc|"},
      {"a\r\nb = 'abc\r\nc", "Ia|Ib|==|!Invalid string constant on line 2"},
      {"'ab\rcd'", "!Invalid string constant on line 1"}, {std::string("'a\0b'", 5), "!Invalid string constant on line 1"},
      {"#13'", "!Invalid string constant on line 1"},
      // Quoted parts are searched sixteen bytes at a time for their end.
      {"'abcdefghijklmnopq''rstuvwxyz0123456789'", "Sabcdefghijklmnopq'rstuvwxyz0123456789|"},
      {"'abcdefghijklmnopqrstuvwxyz\r\n'", "!Invalid string constant on line 1"},
  };
  for (const auto& [text, tokens] : cases) EXPECT_EQ(Tokens(text), tokens) << text;
}

TEST(Tokenizer, WideStringTakesTheBytesBeforeItsFirstWideCode) {
  // A code's low 16 bits are its unit: #65537 is 1.
  Tokenizer tokenizer("'a''b'#300'\xe9'#65537#66");
  ASSERT_EQ(tokenizer.Token(), TokWideString);
  EXPECT_EQ(tokenizer.WideText(), std::u16string(u"a'b\u012C\u00E9\u0001B"));
}

TEST(TextToInteger, RuntimeRule) {
  const std::tuple<std::string, bool, std::int32_t> cases[] = {
      {"+7", true, 7}, {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"-2147483649", false, 0}, {"$FFFFFFFF", true, -1},
      {"$00000000FF", true, 255}, {"$100000000", false, 0}, {"-$10", true, -16}, {"$", false, 0},
      {"", false, 0}, {"12a", false, 0}};
  for (const auto& [text, valid, expected] : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(std::pair(TextToInteger(text, value), value), std::pair(valid, expected)) << text;
  }
}

// Many lines of every token kind; then long lines, and lines longer than the limit.
TEST(Tokenizer, TokensAndLongLines) {
  std::string text, expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string name = std::string("Prop").append(std::to_string(i)), hex = {'$', static_cast<char>('0' + i % 10)};
    text.append(static_cast<std::size_t>(i % 13), ' ').append(name + " = 'a''b'#13 + 12.5s " + hex + "\r\n");
    expected.append("I").append(name).append("|==|Sa'b\r|++|F12.5s|N").append(hex).append("|");
  }
  EXPECT_EQ(Tokens(text), expected);
  EXPECT_EQ(Tokens(text + "'open"), expected + "!Invalid string constant on line 2001");
  const std::string longName(20000, 'x');
  EXPECT_EQ(Tokens(std::string("a\r\n").append(longName).append("\r\nb")), std::string("Ia|I").append(longName).append("|Ib|"));
  EXPECT_EQ(Tokens(std::string(4094, 'y') + "\nz", 4094), std::string("I").append(4094, 'y').append("|Iz|"));
  EXPECT_EQ(Tokens(std::string("a\n").append(4095, 'y').append("\nz"), 4094), "Ia|!Line too long on line 2");
  EXPECT_EQ(Tokens(std::string("a\n").append(50000, 'y').append("\n"), 30000), "Ia|!Line too long on line 2");
  EXPECT_EQ(Tokens(std::string("a\n\n\n").append(30001, 'y'), 30000), std::string("Ia|I").append(30001, 'y') + "|");
  EXPECT_EQ(Tokens(std::string("a\n\n\n").append(30002, 'y').append("\nb"), 30000), "Ia|!Line too long on line 4");
  EXPECT_EQ(Tokens(std::string("a\n'x\n").append(30002, 'y'), 30000), "Ia|!Invalid string constant on line 2");
}

// A form is compiled only where a rule's name stands among its words: the class, or the last
// part of a property, also right behind a length byte that is a letter.
TEST(FormRulesTest, MayActOnlyWhereARuleNameStands) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"RENC>TOld,TNew", "\x04told", true}, {"RENC>TOld,TNew", "\x05TOldX", false},
      {"RENC>" + std::string(66, 'T') + ",TNew", "B" + std::string(66, 't'), true},
      {"DELP>TX:Font.Name", "\x09" "Font.name", true}, {"DELP>Font.Name", "\x04" "Font", false},
      {"PSET>TP:C=1,S[E]", "\x01" "c", true}, {"RENU>A,B", "A", false}, {"RENC>T X,Y", "", true},
  };
  for (const auto& [script, form, acts] : cases)
    EXPECT_EQ(FormRules(ParseScript(script)).MayActIn(form), acts) << script;
}

}  // namespace
}  // namespace reshape::test
