// reshape_tree_generator: writes a realistic tree of sources, packages, projects and binary
// form files, with the scripts that migrate it and the GNU sed scripts that do the same text
// substitutions, all determined by the seed.
//
//   reshape_tree_generator OUTDIR [--size tiny|small|full] [--seed N] [--lines plain|dense]
//   reshape_tree_generator OUTDIR --tree nested [--files M] [--dirs N] [--seed N]
//
// OUTDIR/tree      the files to migrate: most text files with LF line breaks, some with a
//                  UTF-8 byte-order mark, uses clauses with dotted unit names; every third form
//                  (Unit0002.dfm, Unit0005.dfm, ...) as a newer IDE writes it
// OUTDIR/scripts   rules_R.scr (every command kind, R class renames) for R = 1, 10, 100, 1000;
//                  per pass: source_R.scr, unit.scr, form_R.scr, project.scr; and the sed
//                  scripts source_R.sed (source_R_global.sed: every occurrence in a line),
//                  unit.sed, project.sed; source_idle.scr and
//                  form_idle.scr: the 1-rule scripts behind 999 class renames that match
//                  nothing, so they make the same changes and differ only in rule count
// OUTDIR/forms.txt one line per form file: its name and the size of its text form
//
// A nested tree (for recursive runs) spreads M files (default 100,000) over N directories
// (default 10,000) ten to a directory level, four to five levels deep, and adds version
// control and IDE history directories (".git", "__history") holding files a pass would take,
// which a recursive run must skip. The files: sources of 1-12 KB (.pas, .cpp, .h, .hpp), forms
// of 2-16 KB (two binary, one text of every three), packages and projects, and a fifth of
// files no pass takes (.txt, .res, .png, .bak, .dcu). forms.txt then names every form by its
// path with the size of its text form (0 for a text form, which has none written beside it);
// scripts/nested_idle.scr runs every pass and changes nothing, scripts/nested_change.scr
// renames one class that a few files use and one package that every project uses.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "form_generator.h"
#include "forms/form_to_text.h"
#include "generator_support.h"
#include "text_generator.h"

namespace reshape::bench {
namespace {

namespace fs = std::filesystem;

struct TreeSize {
  std::size_t units, cppSources, packages, forms;
  std::size_t minText, maxText, minForm, maxForm;
};

constexpr TreeSize kTiny{20, 6, 4, 10, 5000, 40000, 2048, 200000};
constexpr TreeSize kSmall{150, 40, 10, 100, 5000, 100000, 2048, 2000000};
constexpr TreeSize kFull{2000, 500, 50, 1000, 5000, 100000, 2048, 2000000};
constexpr std::size_t kRuleCounts[] = {1, 10, 100, 1000};

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::cerr << "cannot write " << path << "\n";
    std::exit(1);
  }
}

std::string Name(const char* format, std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, format, index);
  return name;
}

// Sizes spread from min to max with most files near the low end, as in real trees.
std::size_t SkewedSize(Random& random, std::size_t min, std::size_t max, double skew) {
  double u = random.Unit();
  double ratio = static_cast<double>(max) / static_cast<double>(min);
  return static_cast<std::size_t>(static_cast<double>(min) * std::pow(ratio, std::pow(u, skew)));
}

// A basic regular expression that matches text literally.
std::string SedLiteral(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '.' || c == '*' || c == '[' || c == ']' || c == '^' || c == '$' || c == '\\' || c == '/')
      out += '\\';
    out += c;
  }
  return out;
}

struct Scripts {
  std::string classRenames, stringRenames, unitRenames, packageRenames, propertyRules;
  std::string classSed, stringSed, unitSed, packageSed;
};

Scripts MakeScripts(const Vocabulary& vocabulary, std::size_t classRenames) {
  Scripts s;
  for (const std::string& name : RenamedClasses(vocabulary, classRenames)) {
    s.classRenames += "RENC>" + name + "," + NewName(name) + "\r\n";
    s.classSed += "s/\\<" + SedLiteral(name) + "\\>/" + SedLiteral(NewName(name)) + "/I\n";
  }
  const std::pair<std::string, std::string> strings[] = {
      {"IntToStr(", "IntToStrEx("}, {"EConvertError", "EConversionFailed"}, {"'Showing '", "'Shown '"}};
  for (const auto& [from, to] : strings) {
    s.stringRenames += "RENS>" + from + "," + to + "\r\n";
    s.stringSed += "s/" + SedLiteral(from) + "/" + SedLiteral(to) + "/I\n";
  }
  for (std::size_t i = 0; i < kRenamedUnits; ++i) {
    // Every other renamed unit is renamed by its dotted name as well.
    for (const std::string& unit : {vocabulary.libraryUnits[i], kUnitScope + vocabulary.libraryUnits[i]}) {
      if (unit.starts_with(kUnitScope) && i % 2 != 0) continue;
      s.unitRenames += "RENU>" + unit + "," + NewName(unit) + "\r\n";
      s.unitSed += "s/\\<" + SedLiteral(unit) + "\\>/" + SedLiteral(NewName(unit)) + "/I\n";
    }
  }
  for (std::size_t i = 0; i < kRenamedPackages; ++i) {
    const std::string& package = vocabulary.packages[i];
    s.packageRenames += "PKGR>" + package + "," + NewName(package) + "\r\n";
    s.packageSed += "s/" + SedLiteral(package) + "/" + SedLiteral(NewName(package)) + "/I\n";
  }
  const auto& used = vocabulary.usedClasses;
  s.propertyRules = "RENP>" + used[0] + ":Flat,FlatStyle\r\n" +
                    "RENP>OldCreateOrder,CreateOrderOld\r\n" +
                    "RENP>" + used[3] + ":Transparent,IsTransparent\r\n" +
                    "DELP>ParentCtl3D\r\n" +
                    "DELP>" + used[1] + ":Font.Name\r\n" +
                    "PSET>" + used[4] + ":Ctl3D=False,Options[poFlat]\r\n" +
                    "PSET>" + used[4] + ":Transparent=True,Options[poTransparent]\r\n";
  return s;
}

void WriteScripts(const fs::path& dir, const Vocabulary& vocabulary) {
  fs::create_directories(dir);
  for (std::size_t count : kRuleCounts) {
    const Scripts s = MakeScripts(vocabulary, count);
    const std::string r = std::to_string(count);
    WriteFile(dir / ("rules_" + r + ".scr"), s.classRenames + s.stringRenames + s.unitRenames +
                                                 s.packageRenames + s.propertyRules);
    WriteFile(dir / ("source_" + r + ".scr"), s.classRenames + s.stringRenames);
    WriteFile(dir / ("form_" + r + ".scr"), s.classRenames + s.propertyRules);
    WriteFile(dir / ("source_" + r + ".sed"), s.classSed + s.stringSed);
    // The same substitutions made global, for trees whose lines name a class more than once.
    std::string global = s.classSed + s.stringSed;
    for (std::size_t at = 0; (at = global.find("/I\n", at)) != std::string::npos; at += 4)
      global.replace(at, 2, "/gI");
    WriteFile(dir / ("source_" + r + "_global.sed"), global);
    if (count == 1) {
      std::string idle;
      for (int i = 1; i < 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "TUnusedClass%03d", i);
        idle += std::string("RENC>") + name + "," + name + "X\r\n";
      }
      WriteFile(dir / "source_idle.scr", idle + s.classRenames + s.stringRenames);
      WriteFile(dir / "form_idle.scr", idle + s.classRenames + s.propertyRules);
      WriteFile(dir / "unit.scr", s.unitRenames);
      WriteFile(dir / "project.scr", s.packageRenames);
      WriteFile(dir / "unit.sed", s.unitSed);
      WriteFile(dir / "project.sed", s.packageSed);
    }
  }
}

constexpr std::size_t kFanOut = 10;

// The directories of a nested tree, breadth first, kFanOut below each, named as a project's
// folders are; every 50th holds a ".git" and, offset by 25, a "__history" directory.
std::vector<std::string> MakeDirectories(const fs::path& tree, std::size_t count) {
  static constexpr const char* kWords[kFanOut] = {"Src",  "Lib",  "Forms", "Common", "Tests",
                                                  "Model", "View", "Data",  "Util",   "Io"};
  std::vector<std::string> dirs{""};
  for (std::size_t parent = 0; dirs.size() < count; ++parent)
    for (std::size_t k = 0; k < kFanOut && dirs.size() < count; ++k)
      dirs.push_back(dirs[parent] + kWords[k] + (parent % 3 == 0 ? "" : std::to_string(k)) + "/");
  for (std::size_t i = 0; i < dirs.size(); ++i) {
    fs::create_directories(tree / dirs[i]);
    if (i % 50 == 0) {
      fs::create_directories(tree / dirs[i] / ".git" / "objects");
      WriteFile(tree / dirs[i] / ".git" / "HEAD", "ref: refs/heads/main\n");
      WriteFile(tree / dirs[i] / ".git" / "objects" / "Stale.pas", "unit Stale;\n");
    }
    if (i % 50 == 25) {
      fs::create_directories(tree / dirs[i] / "__history");
      WriteFile(tree / dirs[i] / "__history" / "Old.pas", "unit Old;\n");
      WriteFile(tree / dirs[i] / "__history" / "Old.dfm", "object Old: TForm\nend\n");
    }
  }
  return dirs;
}

std::string RandomBytes(Random& random, std::size_t size, std::string_view head) {
  std::string bytes(head);
  while (bytes.size() < size) bytes += static_cast<char>(random.Next() >> 56);
  return bytes;
}

int NestedTree(const fs::path& out, std::size_t fileCount, std::size_t dirCount,
               std::uint64_t seed) {
  const Vocabulary vocabulary(seed);
  const fs::path tree = out / "tree";
  const std::vector<std::string> dirs = MakeDirectories(tree, dirCount);
  fs::create_directories(out / "scripts");
  const std::string idle = "RENC>TUnusedClass001,TUnusedClass001X\r\n"
                           "RENU>UnusedUnit001,UnusedUnit001X\r\nPKGR>unusedpkg01,unusedpkg01x\r\n";
  WriteFile(out / "scripts" / "nested_idle.scr", idle);
  const std::string& renamed = vocabulary.usedClasses[120];
  WriteFile(out / "scripts" / "nested_change.scr",
            "RENC>" + renamed + "," + NewName(renamed) + "\r\n" +
                "RENU>UnusedUnit001,UnusedUnit001X\r\n" + "PKGR>" + vocabulary.packages[0] + "," +
                NewName(vocabulary.packages[0]) + "\r\n");
  Random random(seed);
  std::ofstream manifest(out / "forms.txt", std::ios::binary);
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < fileCount; ++i) {
    const std::string dir = dirs[random.Below(dirs.size())];
    const std::size_t kind = i % 100, textSize = SkewedSize(random, 1000, 12000, 1.0);
    std::string name, text;
    if (kind < 40) {
      name = Name("Unit%06zu.pas", i);
      text = AsStoredInTree(PascalUnit(random, vocabulary, i, textSize), i);
    } else if (kind < 73) {
      const char* extension = kind < 55 ? "cpp" : kind < 70 ? "h" : "hpp";
      name = Name("Source%06zu.", i) + extension;
      text = AsStoredInTree(CppSource(random, vocabulary, i, extension[0] == 'h', textSize), i);
    } else if (kind < 76) {
      name = Name("Unit%06zu.dfm", i);
      text = FormFile(random, vocabulary, i, SkewedSize(random, 2048, 16000, 2.0), i % 2 == 0);
      std::string asText = FormFileToText(text, CodePage());
      if (kind == 75) text = std::move(asText);
      manifest << dir << name << ' ' << (kind == 75 ? 0 : asText.size()) << '\n';
    } else if (kind < 78) {
      name = Name(kind == 76 ? "Package%06zu.dpk" : "Project%06zu.bpr", i);
      text = AsStoredInTree(kind == 76 ? PackageSource(random, vocabulary, i, 1000)
                                       : ProjectFile(random, vocabulary, i, 1000),
                            i);
    } else {
      static constexpr const char* kOther[] = {".txt", ".res", ".png", ".pas.bak", ".dcu"};
      const std::size_t other = kind % 5;
      name = Name("Other%06zu", i) + kOther[other];
      text = RandomBytes(random, textSize / 2, other == 2 ? "\x89PNG\r\n\x1a\n" : "");
    }
    bytes += text.size();
    WriteFile(tree / dir / name, text);
  }
  std::cout << "nested tree: " << fileCount << " files, " << bytes << " bytes, " << dirs.size()
            << " directories\n";
  return 0;
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: reshape_tree_generator OUTDIR [--size tiny|small|full] [--seed N] [--lines plain|dense]\n"
                 "       reshape_tree_generator OUTDIR --tree nested [--files M] [--dirs N]\n";
    return 2;
  }
  fs::path out = argv[1];
  TreeSize size = kSmall;
  std::uint64_t seed = 1;
  bool nested = false;
  bool denseLines = false;
  std::size_t fileCount = 100000, dirCount = 10000;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string option = argv[i], value = argv[i + 1];
    if (option == "--tree") {
      nested = value == "nested";
    } else if (option == "--files") {
      fileCount = std::strtoull(value.c_str(), nullptr, 10);
    } else if (option == "--dirs") {
      dirCount = std::max<std::size_t>(1, std::strtoull(value.c_str(), nullptr, 10));
    } else if (option == "--size") {
      size = value == "tiny" ? kTiny : value == "full" ? kFull : kSmall;
    } else if (option == "--lines") {
      denseLines = value == "dense";
    } else if (option == "--seed") {
      seed = std::strtoull(value.c_str(), nullptr, 10);
    }
  }
  if (nested) return NestedTree(out, fileCount, dirCount, seed);
  Vocabulary vocabulary(seed);
  vocabulary.denseLines = denseLines;
  const fs::path tree = out / "tree";
  fs::create_directories(tree);
  WriteScripts(out / "scripts", vocabulary);

  Random random(seed);
  std::uint64_t textBytes = 0, formBytes = 0;
  for (std::size_t i = 0; i < size.units; ++i) {
    std::string text = AsStoredInTree(
        PascalUnit(random, vocabulary, i, SkewedSize(random, size.minText, size.maxText, 1.0)), i);
    textBytes += text.size();
    WriteFile(tree / Name("Unit%04zu.pas", i), text);
  }
  for (std::size_t i = 0; i < size.cppSources; ++i) {
    const char* kind = i % 5 < 2 ? "cpp" : i % 5 < 4 ? "h" : "hpp";
    const std::size_t bytes = SkewedSize(random, size.minText, size.maxText, 1.0);
    std::string text = AsStoredInTree(CppSource(random, vocabulary, i, kind[0] == 'h', bytes), i);
    textBytes += text.size();
    WriteFile(tree / (Name("Source%04zu.", i) + kind), text);
  }
  for (std::size_t i = 0; i < size.packages; ++i) {
    std::string text = AsStoredInTree(i % 2 == 0 ? PackageSource(random, vocabulary, i, size.units)
                                                 : ProjectFile(random, vocabulary, i, size.units),
                                      i);
    textBytes += text.size();
    WriteFile(tree / Name(i % 2 == 0 ? "Package%02zu.dpk" : "Project%02zu.bpr", i), text);
  }
  std::ofstream manifest(out / "forms.txt", std::ios::binary);
  // One form in three as a newer IDE writes it: UTF-8 strings and 64-bit integers.
  for (std::size_t i = 0; i < size.forms; ++i) {
    const std::size_t bytes = SkewedSize(random, size.minForm, size.maxForm, 2.0);
    std::string form = FormFile(random, vocabulary, i, bytes, i % 3 == 2);
    formBytes += form.size();
    const std::string name = Name("Unit%04zu.dfm", i);
    WriteFile(tree / name, form);
    manifest << name << ' ' << FormFileToText(form, CodePage()).size() << '\n';
  }
  std::cout << "text files: " << size.units + size.cppSources + size.packages << ", "
            << textBytes << " bytes; forms: " << size.forms << ", " << formBytes << " bytes\n";
  return 0;
}

}  // namespace
}  // namespace reshape::bench

int main(int argc, char** argv) { return reshape::bench::Main(argc, argv); }
