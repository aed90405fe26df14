#include "text_generator.h"

#include <cstdio>

namespace reshape::bench {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string Number(std::size_t value) { return std::to_string(value); }

std::string UnitName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "Unit%04zu", index);
  return name;
}

constexpr const char* kFieldWords[] = {"Count", "Items", "Owner", "Caption", "Data", "Index",
                                       "Value", "Name",  "Text",  "Parent", "Width", "Height",
                                       "State", "Kind",  "Flags", "Cursor", "Source", "Target"};

const char* FieldWord(Random& random) {
  return kFieldWords[random.Below(sizeof kFieldWords / sizeof *kFieldWords)];
}

// One line of a Pascal method body; about one in eight names a library class.
std::string PascalStatement(Random& random, const Vocabulary& vocabulary, int indent) {
  std::string pad(static_cast<std::size_t>(indent), ' ');
  std::string a = FieldWord(random), b = FieldWord(random);
  if (vocabulary.denseLines && random.Below(6) == 0) {
    const std::string& c = vocabulary.UsedClass(random);
    const std::string tabs(static_cast<std::size_t>(indent / 2), '\t');
    if (random.Chance(0.5)) return tabs + "if " + c + "(F" + a + ").Active or " + c + "(F" + b + ").Active then";
    return tabs + "F" + a + " := " + c + "(" + c + ".Create(Self));";
  }
  // Lines that a string rename finds are rarer than the others.
  std::size_t kind = random.Below(24);
  if ((kind == 9 || kind == 13) && !random.Chance(0.25)) kind = 15;
  switch (kind) {
    case 0: return pad + "F" + a + " := " + vocabulary.UsedClass(random) + ".Create(Self);";
    case 1: return pad + "with (Sender as " + vocabulary.UsedClass(random) + ") do";
    case 2: return pad + "F" + a + " := F" + a + " + " + Number(random.Below(100)) + ";";
    case 3: return pad + "if Assigned(FOn" + a + ") then FOn" + a + "(Self);";
    case 4: return pad + "Result := Format('%s: %d items', [F" + a + ", F" + b + ".Count]);";
    case 5: return pad + "// keep the " + a + " in step with the " + b + " of the parent";
    case 6: return pad + "for I := 0 to F" + a + ".Count - 1 do";
    case 7: return pad + "  Inc(Total, F" + a + "[I]." + b + ");";
    case 8: return pad + "if (F" + a + " <> nil) and (F" + b + " > 0) then";
    case 9: return pad + "Caption := 'Showing ' + IntToStr(F" + a + ") + ' of ' + IntToStr(F" + b + ");";
    case 10: return pad + "{ " + a + " and " + b + " are refreshed by Update" + a + " }";
    case 11: return pad + "Update" + a + "(F" + b + ", True);";
    case 12: return pad + "S := Trim(Edit" + Number(random.Below(20)) + ".Text);";
    case 13: return pad + "raise EConvertError.CreateFmt('Bad %s', [S]);";
    case 14: return pad + "Inc(F" + a + ");";
    case 16: return pad + "F" + a + " := F" + b + ";";
    case 17: return pad + "Exit;";
    case 18: return pad + "Result := F" + a + " div " + Number(random.Between(1, 9)) + ";";
    case 19: return pad + "end;";
    case 20: return pad + "begin";
    default: return pad + "F" + a + "." + b + " := " + Number(random.Below(1000)) + ";";
  }
}

void PascalUses(Random& random, const Vocabulary& vocabulary, std::size_t index, std::string& out) {
  out += "uses";
  out += kCrLf;
  std::string line = " ";
  const std::size_t count = random.Between(6, 16);
  for (std::size_t i = 0; i < count; ++i) {
    std::string name = vocabulary.libraryUnits[random.Below(vocabulary.libraryUnits.size())];
    // Newer code names library units by their scope.
    if (random.Chance(0.3)) name = kUnitScope + name;
    if (i + 1 == count && index > 0) name = UnitName(random.Below(index));
    if (line.size() + name.size() > 70) {
      out += line;
      out += kCrLf;
      line.erase(1);  // back to the leading blank
    }
    line += ' ';
    line += name;
    line += i + 1 == count ? ';' : ',';
  }
  out += line;
  out += kCrLf;
  out += kCrLf;
}

}  // namespace

std::string AsStoredInTree(std::string text, std::size_t index) {
  // Most files come from version control with LF line breaks; some were saved with a mark.
  if (index % 4 != 0) {
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
    text = std::move(lf);
  }
  if (index % 10 == 3) text.insert(0, "\xEF\xBB\xBF");
  return text;
}

std::string PascalUnit(Random& random, const Vocabulary& vocabulary, std::size_t index,
                       std::size_t targetBytes) {
  const std::string name = UnitName(index);
  const std::string form = "TForm" + Number(index);
  std::string out;
  out.reserve(targetBytes + 4096);
  out += "unit " + name + ";" + kCrLf + kCrLf + "interface" + kCrLf + kCrLf;
  PascalUses(random, vocabulary, index, out);
  out += "type" + std::string(kCrLf) + "  " + form + " = class(TForm)" + kCrLf;
  const std::size_t fields = random.Between(5, 40);
  for (std::size_t i = 0; i < fields; ++i)
    out += "    Control" + Number(i) + ": " + vocabulary.UsedClass(random) + ";" + kCrLf;
  out += "  private" + std::string(kCrLf);
  out += "    F" + std::string(FieldWord(random)) + ": Integer;" + kCrLf;
  out += "  public" + std::string(kCrLf) + "    procedure Refresh" + name + ";" + kCrLf;
  out += "  end;" + std::string(kCrLf) + kCrLf + "var" + kCrLf + "  Form" + Number(index) + ": " +
         form + ";" + kCrLf + kCrLf + "implementation" + kCrLf + kCrLf;
  if (random.Chance(0.5)) PascalUses(random, vocabulary, index, out);
  out += "{$R *.DFM}" + std::string(kCrLf) + kCrLf;
  for (std::size_t method = 0; out.size() < targetBytes; ++method) {
    out += "procedure " + form + ".Handle" + FieldWord(random) + Number(method) +
           "(Sender: TObject);" + kCrLf + "var" + kCrLf + "  I, Total: Integer;" + kCrLf +
           "  S: string;" + kCrLf + "  Helper: " + vocabulary.UsedClass(random) + ";" + kCrLf +
           "begin" + kCrLf;
    const std::size_t statements = random.Between(8, 40);
    for (std::size_t i = 0; i < statements; ++i)
      out += PascalStatement(random, vocabulary, 2 + 2 * static_cast<int>(random.Below(3))) + kCrLf;
    out += "end;" + std::string(kCrLf) + kCrLf;
  }
  out += "end." + std::string(kCrLf);
  return out;
}

std::string CppSource(Random& random, const Vocabulary& vocabulary, std::size_t index,
                      bool isHeader, std::size_t targetBytes) {
  const std::string form = "TForm" + Number(index);
  std::string out;
  out.reserve(targetBytes + 4096);
  out += "//---------------------------------------------------------------------------" +
         std::string(kCrLf);
  out += "#include <gui.h>" + std::string(kCrLf) + "#pragma hdrstop" + kCrLf;
  for (int i = 0; i < 4; ++i)
    out += "#include \"" + vocabulary.libraryUnits[random.Below(vocabulary.libraryUnits.size())] +
           ".hpp\"" + kCrLf;
  out += kCrLf;
  if (isHeader) {
    out += "class " + form + " : public TForm" + kCrLf + "{" + kCrLf + "__published:" + kCrLf;
    while (out.size() < targetBytes)
      out += "    " + vocabulary.UsedClass(random) + " *Control" + Number(random.Below(500)) +
             ";  // " + FieldWord(random) + " of the view" + kCrLf;
    out += "public:" + std::string(kCrLf) + "    __fastcall " + form + "(TComponent* Owner);" +
           kCrLf + "};" + kCrLf;
    return out;
  }
  out += form + " *Form" + Number(index) + ";" + kCrLf;
  for (std::size_t method = 0; out.size() < targetBytes; ++method) {
    out += "void __fastcall " + form + "::Handle" + FieldWord(random) + Number(method) +
           "(TObject *Sender)" + kCrLf + "{" + kCrLf;
    const std::size_t statements = random.Between(6, 30);
    for (std::size_t i = 0; i < statements; ++i) {
      std::string a = FieldWord(random), b = FieldWord(random);
      if (vocabulary.denseLines && random.Below(6) == 0) {
        const std::string& c = vocabulary.UsedClass(random);
        switch (random.Below(3)) {
          case 0: out += "\t" + c + " *" + a + " = dynamic_cast<" + c + "*>(Sender);"; break;
          case 1: out += "\tstd::vector<" + c + "*> F" + a + "s{new " + c + "(this)};"; break;
          default: out += "\t" + c + "& r" + a + " = *static_cast<" + c + "*>(F" + b + ");"; break;
        }
        out += kCrLf;
        continue;
      }
      switch (random.Below(12)) {
        case 0: out += "    " + vocabulary.UsedClass(random) + " *p" + a + " = new " +
                       vocabulary.UsedClass(random) + "(this);"; break;
        case 1: out += "    if (F" + a + " != NULL && F" + b + " > 0) Update" + a + "();"; break;
        case 2: out += "    F" + a + "->" + b + " = " + Number(random.Below(1000)) + ";"; break;
        case 3: out += "    // the " + a + " follows the " + b; break;
        case 4:
          if (random.Chance(0.25)) {
            out += "    Caption = \"Showing \" + IntToStr(F" + a + ");";
            break;
          }
          [[fallthrough]];
        case 5: out += "    for (int i = 0; i < F" + a + "->Count; ++i) Total += F" + b + "[i];"; break;
        case 6: out += "    dynamic_cast<" + vocabulary.UsedClass(random) + "*>(Sender)->" + a + " = 0;"; break;
        default: out += "    ++F" + a + ";"; break;
      }
      out += kCrLf;
    }
    out += "}" + std::string(kCrLf) + kCrLf;
  }
  return out;
}

std::string PackageSource(Random& random, const Vocabulary& vocabulary, std::size_t index,
                          std::size_t unitCount) {
  std::string out = "package Package" + Number(index) + ";" + kCrLf + kCrLf +
                    "{$R *.RES}" + kCrLf + "{$DESCRIPTION 'Generated package'}" + kCrLf + kCrLf;
  out += "requires" + std::string(kCrLf);
  for (std::size_t i = 0; i < 4; ++i)
    out += "  " + vocabulary.packages[random.Below(vocabulary.packages.size())] + "," + kCrLf;
  out += "  gui50;" + std::string(kCrLf) + kCrLf + "contains" + kCrLf;
  const std::size_t count = random.Between(10, 60);
  for (std::size_t i = 0; i < count; ++i) {
    std::string unit = i % 3 == 0 ? vocabulary.libraryUnits[random.Below(vocabulary.libraryUnits.size())]
                                   : UnitName(random.Below(unitCount));
    out += "  " + unit + " in '" + unit + ".pas'" + (i + 1 == count ? ";" : ",") + kCrLf;
  }
  out += kCrLf + std::string("end.") + kCrLf;
  return out;
}

std::string ProjectFile(Random& random, const Vocabulary& vocabulary, std::size_t index,
                        std::size_t unitCount) {
  std::string out = "<?xml version='1.0' encoding='utf-8' ?>" + std::string(kCrLf) + "<!-- gui XML project -->" + kCrLf +
                    "<PROJECT>" + kCrLf + "  <MACROS>" + kCrLf + "    <VERSION value=\"GUI.05.03\"/>" + kCrLf +
                    "    <PROJECT value=\"Project" + Number(index) + ".exe\"/>" + kCrLf + "    <OBJFILES value=\"Project" +
                    Number(index) + ".obj";
  const std::size_t count = random.Between(10, 80);
  for (std::size_t i = 0; i < count; ++i) {
    out += ' ';
    out += UnitName(random.Below(unitCount));
    out += ".obj";
  }
  out += "\"/>" + std::string(kCrLf) + "    <PACKAGES value=\"";
  for (std::size_t i = 0; i < vocabulary.packages.size(); ++i)
    out += vocabulary.packages[i] + ".bpi" + (i + 1 < vocabulary.packages.size() ? " " : "");
  out += "\"/>" + std::string(kCrLf);
  for (std::size_t i = 0; i < 60; ++i)
    out += "    <OPTION" + Number(i) + " value=\"-O2 -w- -Vx -Ve -r- -k -y -v -vi- -c -b- -Tkh30000\"/>" + kCrLf;
  out += "  </MACROS>" + std::string(kCrLf) + "</PROJECT>" + kCrLf;
  return out;
}

}  // namespace reshape::bench
