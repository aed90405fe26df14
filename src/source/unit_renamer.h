// The line transform of the unit pass: renames units on a unit heading line and on the lines
// of a uses clause, which it follows from one line of a file to the next.
#pragma once

#include <string>
#include <vector>

#include "script/command.h"
#include "script/run_state.h"
#include "source/text_lines.h"
#include "source/word_renames.h"

namespace reshape {

// One object serves one file: it starts outside a uses clause.
class UnitLineTransform : public LineTransform {
 public:
  // Takes the RENU commands of state.Commands, in script order.
  explicit UnitLineTransform(RunState& state);
  // Updates the uses-clause state and applies every RENU command to a line that belongs to it.
  void TransformLine(std::string& line) override;

 private:
  RunState& state_;
  std::vector<const TCommand*> unitRenames_;
  WholeWordRenames unitRenameIndex_;
  bool inUsesClause_ = false;
};

}  // namespace reshape
