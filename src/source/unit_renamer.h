// The line transform of the unit pass: renames units on a unit heading line and on the lines
// of a uses clause, which it follows from one line of a file to the next. A unit name is a
// dotted name ("Core.Types"), matched as a whole.
#pragma once

#include <string>
#include <vector>

#include "base/code_page.h"
#include "script/command.h"
#include "source/replace.h"
#include "source/text_lines.h"
#include "source/word_renames.h"

namespace reshape {

// The RENU commands, in script order, prepared once for every file of a pass.
class UnitRenameRules {
 public:
  UnitRenameRules(const CommandList& commands, CodePage codePage);

  CodePage codePage;

  std::vector<const TCommand*> unitRenames;
  WholeWordRenames unitRenameIndex;
  // With a few renames, their old names as text to search the whole text for: where none of
  // them stands in the rest of a file, no later line can change. Empty with many renames.
  std::vector<SubstringFinder> unitNameFinders;
};

// One object serves one file: it starts outside a uses clause.
class UnitLineTransform : public RulesLineTransform<UnitRenameRules> {
 public:
  using RulesLineTransform::RulesLineTransform;
  // Updates the uses-clause state and applies every RENU command to a line that belongs to it.
  void TransformLine(std::string& line) override;
  // The same; outside a uses clause the lines up to the next "uses" or "unit" in the text are
  // left to be copied as they are, and all of them once no old name stands in the rest.
  void TransformLineOf(std::string& line, std::string_view text, std::size_t offset) override;
  std::size_t QuietUntil() const override { return quietUntil_; }

 private:
  bool inUsesClause_ = false;
  // Where "uses" or "unit" occurs next in the text, in any letter case (npos: nowhere).
  std::size_t nextKeyword_ = 0;
  // Per unit name finder.
  std::vector<NextOccurrence> nameHits_;
  std::size_t quietUntil_ = 0;
  // Where an old name next stands in the text from `from` on (npos: nowhere; `from` itself
  // without finders).
  std::size_t NextName(std::string_view text, std::size_t from);
};

}  // namespace reshape
