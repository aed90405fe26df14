#include "source/project_renamer.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "script/name_rules.h"
#include "source/pascal_clauses.h"
#include "source/text_edits.h"

namespace reshape {

namespace {

bool IsAsciiNameByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return IsAsciiLetter(byte) || IsAsciiDigit(byte) || c == '_';
}

// True when the name from `at`, `length` bytes long, stands whole in the line.
bool StandsWhole(std::string_view line, std::size_t at, std::size_t length) {
  if (at > 0 && (IsAsciiNameByte(line[at - 1]) || line[at - 1] == '.')) return false;
  const std::size_t end = at + length;
  if (end == line.size() || !(IsAsciiNameByte(line[end]) || line[end] == '.')) return true;
  const std::string_view extension = line.substr(end, 4);
  const bool package = SameIgnoringAsciiCase(extension, ".bpl") ||
                       SameIgnoringAsciiCase(extension, ".bpi") ||
                       SameIgnoringAsciiCase(extension, ".lib") ||
                       SameIgnoringAsciiCase(extension, ".dcp");
  return package && (end + 4 == line.size() || !IsAsciiNameByte(line[end + 4]));
}

// The package names of a package source's "requires" clauses renamed.
std::optional<std::string> ConvertPackageSource(std::string_view fileBytes,
                                                const ProjectRenameRules& rules,
                                                ChangeSink& changes) {
  if (IsUtf16Text(fileBytes)) return std::nullopt;
  const FileText file = TextOfFile(fileBytes);
  const std::string_view text = file.text;
  TextEdits edits(fileBytes);
  FindClauseNames(
      text, file.start, rules.codePage,
      ClauseKeywords::Requires, text.size(), [&](std::size_t start, std::size_t length) {
        std::string_view name = text.substr(start, length);
        for (const auto& [command, finder] : rules.packageRenames) {
          if (command->PackageName.empty() || !SameIgnoringAsciiCase(name, command->PackageName))
            continue;
          name = command->NewPackageName;
          changes.Add({*command, ChangeKind::PackageRenamed, command->PackageName,
                       command->NewPackageName, edits.LineOf(start)});
        }
        if (name.data() != text.data() + start) edits.Replace(start, length, name);
      });
  return edits.Take();
}

}  // namespace

ProjectFileKind ProjectFileKindOf(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? "" : fileName.substr(dot + 1);
  if (SameIgnoringAsciiCase(extension, "DPK")) return ProjectFileKind::Package;
  if (SameIgnoringAsciiCase(extension, "DPROJ") || SameIgnoringAsciiCase(extension, "CBPROJ"))
    return ProjectFileKind::WholeNames;
  return ProjectFileKind::Plain;
}

ProjectRenameRules::ProjectRenameRules(const CommandList& commands, CodePage page) : codePage(page) {
  for (const TCommand* command : CommandsOfKind(commands, CommandKind::PKGR))
    packageRenames.push_back({command, SubstringFinder(command->PackageName, codePage)});
}

void ProjectLineTransform::TransformLine(std::string& line) {
  for (const auto& [command, finder] : rules_.packageRenames) {
    const std::string_view newName = command->NewPackageName;
    // The line is searched up to its first NUL, wherever the replacements move it.
    std::size_t end = std::min(line.find('\0'), line.size());
    for (std::size_t from = 0; from < end;) {
      std::size_t at = finder.Find(std::string_view(line).substr(from, end - from));
      if (at == std::string_view::npos) break;
      at += from;
      if (wholeNames_ && !StandsWhole(line, at, finder.Length())) {
        from = at + (rules_.codePage.IsLeadByte(static_cast<unsigned char>(line[at])) ? 2 : 1);
        continue;
      }
      line.replace(at, finder.Length(), newName);
      end = end + newName.size() - finder.Length();
      from = at + newName.size();
      Changed(*command, ChangeKind::PackageRenamed, command->PackageName, newName);
    }
  }
}

std::optional<std::string> ConvertProject(std::string_view fileBytes, ProjectFileKind kind,
                                          ProjectRenameRules& rules, ChangeSink& changes) {
  switch (kind) {
    case ProjectFileKind::Package: return ConvertPackageSource(fileBytes, rules, changes);
    case ProjectFileKind::WholeNames:
      return ConvertText<ProjectWholeNameTransform>(fileBytes, rules, changes);
    case ProjectFileKind::Plain: break;
  }
  return ConvertText<ProjectLineTransform>(fileBytes, rules, changes);
}

}  // namespace reshape
