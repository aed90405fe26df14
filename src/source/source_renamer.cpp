#include "source/source_renamer.h"

#include <algorithm>

namespace reshape {

namespace {

WholeWordRenames ClassRenames(const std::vector<const TCommand*>& commands) {
  std::vector<WholeWordRenames::Rename> renames;
  for (const TCommand* command : commands)
    renames.push_back({command->ClassName, command->NewClassName});
  return WholeWordRenames(std::move(renames));
}

}  // namespace

SourceRenameRules::SourceRenameRules(const CommandList& commands, CodePage codePage)
    : classRenames(CommandsOfKind(commands, CommandKind::RENC)),
      classRenameIndex(ClassRenames(classRenames)) {
  std::vector<std::string_view> names;
  for (const TCommand* command : classRenames) names.push_back(command->ClassName);
  classNameFinders = FewNameFinders(names);
  for (const TCommand* command : CommandsOfKind(commands, CommandKind::RENS)) {
    const bool searchText = !codePage.IsDoubleByte() &&
                            command->OldString.find_first_of("\r\n") == std::string::npos;
    stringRenames.push_back({command, SubstringFinder(command->OldString, codePage), searchText});
  }
  allSearchText = std::all_of(stringRenames.begin(), stringRenames.end(),
                              [](const StringRename& rename) { return rename.searchText; });
}

bool SourceLineTransform::ClassesRenamed(const std::vector<WholeWordRenames::Replaced>& replaced) {
  for (const auto& [rename, count] : replaced) {
    const TCommand& command = *rules_.classRenames[rename];
    for (std::size_t n = 0; n < count; ++n)
      Changed(command, ChangeKind::ClassRenamed, command.ClassName, command.NewClassName);
  }
  return !replaced.empty();
}

bool SourceLineTransform::RenameClasses(std::string& line) {
  return ClassesRenamed(rules_.classRenameIndex.Apply(line));
}

bool SourceLineTransform::RenameString(std::string& line,
                                       const SourceRenameRules::StringRename& rename) {
  const TCommand& command = *rename.command;
  const std::size_t count = ReplaceSubstring(line, rename.finder, command.NewString, true);
  for (std::size_t n = 0; n < count; ++n)
    Changed(command, ChangeKind::StringRenamed, command.OldString, command.NewString);
  return count != 0;
}

void SourceLineTransform::TransformLine(std::string& line) {
  RenameClasses(line);
  for (const auto& rename : rules_.stringRenames) RenameString(line, rename);
}

std::size_t SourceLineTransform::NextClassWord(std::string_view text, std::size_t from) {
  if (!classWordSearched_ || (nextClassWord_ != std::string_view::npos && nextClassWord_ < from)) {
    classWordSearched_ = true;
    nextClassWord_ = rules_.classRenameIndex.NextCandidate(text, from);
  }
  return nextClassWord_;
}

void SourceLineTransform::TransformLineOf(std::string& line, std::string_view text,
                                          std::size_t offset) {
  // The line as it was is part of the text: what the text does not hold there, the line does
  // not hold either, as long as no rule has changed it.
  const std::size_t end = offset + line.size();
  if (end < quietUntil_) return;
  const auto& classFinders = rules_.classNameFinders;
  if (stringHits_.empty()) stringHits_.resize(rules_.stringRenames.size());
  if (classHits_.empty()) classHits_.resize(classFinders.size());
  bool changed = false;
  if (classFinders.empty() && !rules_.classRenames.empty()) {
    // The search of the text finds the line's words to rename, and goes on to the next line's.
    if (NextClassWord(text, offset) < end)
      changed = ClassesRenamed(rules_.classRenameIndex.ApplyAt(line, text, offset, nextClassWord_));
  } else {
    bool mayRename = false;
    for (std::size_t i = 0; i < classFinders.size() && !mayRename; ++i)
      mayRename = classHits_[i].Within(classFinders[i], text, offset, end);
    changed = mayRename && RenameClasses(line);
  }
  for (std::size_t i = 0; i < rules_.stringRenames.size(); ++i) {
    const auto& rename = rules_.stringRenames[i];
    if (!changed && rename.searchText &&
        !stringHits_[i].Within(rename.finder, text, offset, end))
      continue;
    changed = RenameString(line, rename) || changed;
  }
  if (!rules_.allSearchText) return;
  // No occurrence spans a line break, so the next line's search may start at this line's end.
  quietUntil_ = std::string_view::npos;
  if (classFinders.empty() && !rules_.classRenames.empty())
    quietUntil_ = NextClassWord(text, end);
  for (std::size_t i = 0; i < classFinders.size(); ++i)
    quietUntil_ = std::min(quietUntil_, classHits_[i].From(classFinders[i], text, end));
  for (std::size_t i = 0; i < rules_.stringRenames.size(); ++i)
    quietUntil_ = std::min(quietUntil_,
                           stringHits_[i].From(rules_.stringRenames[i].finder, text, end));
}

}  // namespace reshape
