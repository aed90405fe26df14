#include "source/unit_renamer.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "source/cpp_includes.h"
#include "source/pascal_clauses.h"
#include "source/text_edits.h"
#include "source/text_lines.h"

namespace reshape {

namespace {

// A dotted name can equal it: not empty, no empty part ("Os.", ".Windows", "Os..Windows").
bool CanNameUnit(std::string_view name) {
  return !name.empty() && name.front() != '.' && name.back() != '.' &&
         name.find("..") == std::string_view::npos;
}

// One past the start of the last occurrence of any of the finders' texts (0: none occurs).
std::size_t AfterLastOccurrence(const std::vector<SubstringFinder>& finders,
                                std::string_view text) {
  std::size_t limit = 0;
  for (const SubstringFinder& finder : finders)
    for (std::size_t from = limit; from < text.size();) {
      const std::size_t at = finder.Find(text.substr(from));
      if (at == std::string_view::npos) break;
      limit = from + at + 1;
      from = limit;
    }
  return limit;
}

}  // namespace

UnitFileKind UnitFileKindOf(std::string_view fileName) {
  const std::size_t base = fileName.find_last_of("/\\");
  const std::string_view name = base == std::string_view::npos ? fileName : fileName.substr(base + 1);
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot + 1);
  const auto is = [extension](std::string_view e) { return SameIgnoringAsciiCase(extension, e); };
  if (is("DPK")) return UnitFileKind::Package;
  if (is("CPP") || is("HPP") || is("H")) return UnitFileKind::Cpp;
  return UnitFileKind::Pascal;
}

UnitRenameRules::UnitRenameRules(const CommandList& commands, CodePage page)
    : codePage(page), unitRenames(CommandsOfKind(commands, CommandKind::RENU)) {
  std::vector<std::string_view> names;
  for (const TCommand* command : unitRenames) {
    if (!CanNameUnit(command->UnitName)) continue;
    names.push_back(command->UnitName);
    if (oldNames_.Add(command->UnitName) == firstRenames_.size()) firstRenames_.push_back(command);
  }
  unitNameFinders = FewNameFinders(names);
}

const TCommand* UnitRenameRules::RenameOf(std::string_view name) const {
  const std::size_t found = oldNames_.Find(name);
  return found == CaselessNames::kNone ? nullptr : firstRenames_[found];
}

std::optional<std::string> ConvertUnits(std::string_view fileBytes, UnitFileKind kind,
                                        const UnitRenameRules& rules, ChangeSink& changes) {
  if (!rules.Any() || IsUtf16Text(fileBytes)) return std::nullopt;
  const FileText file = TextOfFile(fileBytes);
  const std::string_view text = file.text;
  const std::size_t from = file.start;
  // A text in which no old name stands is not read at all, and reading stops after the last.
  std::size_t limit = text.size();
  if (!rules.unitNameFinders.empty()) {
    limit = AfterLastOccurrence(rules.unitNameFinders, text);
    if (limit == 0) return std::nullopt;
  }
  TextEdits edits(fileBytes);
  const auto rename = [&](std::size_t start, std::size_t length) {
    const TCommand* command = rules.RenameOf(text.substr(start, length));
    if (command == nullptr) return;
    edits.Replace(start, length, command->NewUnitName);
    changes.Add({*command, ChangeKind::UnitRenamed, command->UnitName, command->NewUnitName,
                 edits.LineOf(start)});
  };
  if (kind == UnitFileKind::Cpp)
    FindIncludedUnits(text, from, rules.codePage, limit, rename);
  else
    FindClauseNames(text, from, rules.codePage,
                    kind == UnitFileKind::Package ? ClauseKeywords::Package : ClauseKeywords::Units,
                    limit, rename);
  return edits.Take();
}

}  // namespace reshape
