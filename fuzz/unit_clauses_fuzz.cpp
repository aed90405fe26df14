// Fuzzes the Pascal tokenizer, the clause finder and the C++ include lines of the unit pass, and
// the unit pass over them, with a fixed script: every name listed lies in code (by a plain
// byte-by-byte reading of comments, directives and strings) and is a whole name there; the pass
// changes those names and no other byte; a second run of the same script changes nothing.
//
// Input: one options byte (bit 0: double-byte code page, bits 1-2: which one, bits 3-4: what
// the file is: unit, package source, package requires clauses, C++), then the file's bytes.
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "base/ascii_case.h"
#include "script/script_reader.h"
#include "source/cpp_includes.h"
#include "source/pascal_clauses.h"
#include "source/unit_renamer.h"

using namespace reshape;

namespace {

constexpr std::string_view kScript =
    "RENU>A,Bb\r\nRENU>Os.Windows,Ww\r\nRENU>\x83\x40,Cc\r\nRENU>SysUtils,System.SysUtils\r\n"
    "RENU>a.b.c,D\r\nRENU>in,Q\r\n";
constexpr std::array<int, 4> kDoubleByteCodePages = {932, 936, 949, 950};

bool IsIdentifier(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x80 || (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
}

// For each byte of text: true when it is code, not part of a comment, directive or string.
std::vector<bool> CodeBytes(std::string_view text, CodePage codePage) {
  std::vector<bool> code(text.size(), true);
  const auto pair = [&](std::size_t i) {
    return codePage.IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
           text[i + 1] != '\r' && text[i + 1] != '\n';
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const std::string_view rest = text.substr(i);
    std::string_view close;
    if (rest.starts_with("{")) close = "}";
    else if (rest.starts_with("(*")) close = "*)";
    else if (rest.starts_with("//")) close = "\n";
    else if (rest.starts_with("'")) close = "'";
    if (close.empty()) {
      i += pair(i) ? 2 : 1;
      continue;
    }
    const std::size_t start = i;
    i += close == "*)" || close == "\n" ? 2 : 1;
    while (i < text.size()) {
      if (close == "'" && (text[i] == '\r' || text[i] == '\n')) break;
      if (close == "\n" && (text[i] == '\r' || text[i] == '\n')) break;
      if (text.substr(i).starts_with(close) && close != "\n") {
        if (close == "'" && i + 1 < text.size() && text[i + 1] == '\'') {
          i += 2;
          continue;
        }
        i += close.size();
        break;
      }
      i += close != "\n" && pair(i) ? 2 : 1;
    }
    for (std::size_t j = start; j < i; ++j) code[j] = false;
  }
  return code;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t options = data[0];
  const CodePage codePage = (options & 1) ? CodePage(kDoubleByteCodePages[(options >> 1) & 3]) : CodePage(1252);
  const std::string_view file = fuzz::AsText(data + 1, size - 1);
  const int kind = (options >> 3) & 3;

  std::vector<std::pair<std::size_t, std::size_t>> names;
  const auto note = [&](std::size_t start, std::size_t length) { names.emplace_back(start, length); };
  if (kind == 3)
    FindIncludedUnits(file, 0, codePage, file.size(), note);
  else
    FindClauseNames(file, 0, codePage, static_cast<ClauseKeywords>(kind), file.size(), note);

  const std::vector<bool> code = CodeBytes(file, codePage);
  std::size_t last = 0;
  for (const auto& [start, length] : names) {
    fuzz::Check(start >= last && length > 0 && start + length <= file.size(), "names out of order or bounds");
    last = start + length;
    if (kind == 3) {
      std::size_t first = file.find_last_of("\r\n", start) + 1;
      while (static_cast<unsigned char>(file[first]) <= 0x20) ++first;
      fuzz::Check(file[first] == '#', "a C++ unit name outside an include or link line");
      continue;
    }
    const std::string_view name = file.substr(start, length);
    for (std::size_t i = start; i < last; ++i) fuzz::Check(code[i], "a listed name in a comment or string", name);
    if (codePage.IsDoubleByte()) continue;
    fuzz::Check(IsIdentifier(name.front()) && !(name.front() >= '0' && name.front() <= '9') && IsIdentifier(name.back()) &&
                    name.find("..") == std::string_view::npos && !SameIgnoringAsciiCase(name, "in"),
                "a listed name that is no dotted name", name);
    for (char c : name) fuzz::Check(IsIdentifier(c) || c == '.', "a listed name that is no dotted name", name);
    fuzz::Check(start == 0 || (!IsIdentifier(file[start - 1]) && file[start - 1] != '$' && file[start - 1] != '#'),
                "a listed name that is part of a longer one", name);
    fuzz::Check(last == file.size() || !(IsIdentifier(file[last]) || (file[last] == '.' && last + 1 < file.size() &&
                                                                      IsIdentifier(file[last + 1]) && !std::isdigit(static_cast<unsigned char>(file[last + 1])))),
                "a listed name cut short", name);
  }
  if (kind == 2) return 0;

  // The unit pass: exactly the listed names that a command names change, and a rerun is empty.
  const CommandList commands = ParseScript(kScript);
  const UnitRenameRules rules(commands, codePage);
  const UnitFileKind unitKind = kind == 3 ? UnitFileKind::Cpp : kind == 1 ? UnitFileKind::Package : UnitFileKind::Pascal;
  fuzz::NullSink changes;
  const std::optional<std::string> once = ConvertUnits(file, unitKind, rules, changes);
  if (file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF") || file.find('\x1A') != std::string_view::npos ||
      file.starts_with("\xEF\xBB\xBF"))
    return 0;  // a mark or an end of text moves where reading starts or ends
  std::string expected;
  std::size_t copied = 0;
  for (const auto& [start, length] : names) {
    const TCommand* command = rules.RenameOf(file.substr(start, length));
    if (command == nullptr) continue;
    expected.append(file.substr(copied, start - copied)).append(command->NewUnitName);
    copied = start + length;
  }
  expected.append(file.substr(copied));
  fuzz::CheckSameText(expected, once.value_or(std::string(file)), "the unit pass changed other bytes");
  if (once) fuzz::Check(!ConvertUnits(*once, unitKind, rules, changes), "a second run changed the file again");
  return 0;
}
