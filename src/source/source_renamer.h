// The line transform of the source pass: class renames as whole words, then string renames as
// plain text, every occurrence in a line, each replacement logged as a change of the current file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "script/command.h"
#include "source/replace.h"
#include "source/text_lines.h"
#include "source/word_renames.h"

namespace reshape {

// The RENC and RENS commands, in script order, prepared once for every file of a pass.
class SourceRenameRules {
 public:
  SourceRenameRules(const CommandList& commands, CodePage codePage);

  struct StringRename {
    const TCommand* command;
    SubstringFinder finder;
    // The old text can be searched for in the whole text instead of line by line: it holds
    // no line break, and the code page has no double-byte characters.
    bool searchText;
  };

  std::vector<const TCommand*> classRenames;
  WholeWordRenames classRenameIndex;
  // With a few class renames, their old names as text to search the whole text for: a line
  // that holds none of them needs no word scan. Empty with many renames, where the scan is
  // cheaper than searching for each name.
  std::vector<SubstringFinder> classNameFinders;
  std::vector<StringRename> stringRenames;
  // Every rule has its text searched for in the whole text.
  bool allSearchText = false;
};

class SourceLineTransform : public RulesLineTransform<SourceRenameRules> {
 public:
  using RulesLineTransform::RulesLineTransform;
  // Applies every RENC command, then every RENS command, to the line.
  void TransformLine(std::string& line) override;
  // The same; a string rename skips, without searching it, a line that has not changed yet
  // and holds no occurrence of its old text by a search of the whole text.
  void TransformLineOf(std::string& line, std::string_view text, std::size_t offset) override;
  std::size_t QuietUntil() const override { return quietUntil_; }

 private:
  // Applies the class renames; true when one of them replaced a name.
  bool RenameClasses(std::string& line);
  // Hands over one change per name replaced; true when there is one.
  bool ClassesRenamed(const std::vector<WholeWordRenames::Replaced>& replaced);
  // Applies string rename `rename`; true when it replaced.
  bool RenameString(std::string& line, const SourceRenameRules::StringRename& rename);

  // Per string rename, then per class name finder.
  std::vector<NextOccurrence> stringHits_;
  std::vector<NextOccurrence> classHits_;
  // Without class name finders: the next word that a class rename names (npos: none), and
  // whether it has been looked for yet.
  std::size_t nextClassWord_ = 0;
  bool classWordSearched_ = false;
  std::size_t NextClassWord(std::string_view text, std::size_t from);
  // When every rule searches the whole text: no rule's text occurs before this position, so
  // lines that end before it are left as they are without a look.
  std::size_t quietUntil_ = 0;
};

}  // namespace reshape
