// The line transform of the source pass: class renames as whole words, then string renames as
// plain text, each logged as a change of the current file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "script/command.h"
#include "script/run_state.h"
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
  };

  std::vector<const TCommand*> classRenames;
  WholeWordRenames classRenameIndex;
  std::vector<StringRename> stringRenames;
};

class SourceLineTransform : public LineTransform {
 public:
  using Rules = SourceRenameRules;

  // Takes the RENC and RENS commands of state.Commands, in script order.
  explicit SourceLineTransform(RunState& state);
  // Uses rules prepared for the whole pass; they must outlive the transform.
  SourceLineTransform(RunState& state, Rules& rules);
  // Applies every RENC command, then every RENS command, to the line.
  void TransformLine(std::string& line) override;

 private:
  RunState& state_;
  std::unique_ptr<Rules> ownRules_;
  Rules& rules_;
};

}  // namespace reshape
