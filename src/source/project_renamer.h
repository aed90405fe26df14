// The line transform of the project pass: package renames as plain text replacements, without
// any notion of words, comments or literals.
#pragma once

#include <string>
#include <vector>

#include "script/command.h"
#include "script/run_state.h"
#include "source/text_lines.h"

namespace reshape {

class ProjectLineTransform : public LineTransform {
 public:
  // Takes the PKGR commands of state.Commands, in script order.
  explicit ProjectLineTransform(RunState& state);
  // Applies every PKGR command to the line.
  void TransformLine(std::string& line) override;

 private:
  RunState& state_;
  std::vector<const TCommand*> packageRenames_;
};

}  // namespace reshape
