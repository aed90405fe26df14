// The line transform of the source pass: class renames as whole words, then string renames as
// plain text, each logged as a change of the current file.
#pragma once

#include <string>
#include <vector>

#include "script/command.h"
#include "script/run_state.h"
#include "source/text_lines.h"
#include "source/word_renames.h"

namespace reshape {

class SourceLineTransform : public LineTransform {
 public:
  // Takes the RENC and RENS commands of state.Commands, in script order.
  explicit SourceLineTransform(RunState& state);
  // Applies every RENC command, then every RENS command, to the line.
  void TransformLine(std::string& line) override;

 private:
  RunState& state_;
  std::vector<const TCommand*> classRenames_;
  WholeWordRenames classRenameIndex_;
  std::vector<const TCommand*> stringRenames_;
};

}  // namespace reshape
