// The commands that act in form files, sorted out of the script once for a whole form pass: a
// class rename is looked up by name, and each property rule kind keeps only its own commands,
// so that a script of many renames does not slow down every object and property.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "script/command.h"

namespace reshape {

class FormRules {
 public:
  // The commands must outlive this object.
  explicit FormRules(const CommandList& commands);

  // The first RENC command, in script order, whose class name equals className ignoring ASCII
  // letter case; null when there is none.
  const TCommand* FindClassRename(std::string_view className) const;

  // False when no rule can act in the form whose bytes (binary or text) these are: no word of
  // them, split at every byte that cannot stand in a name, equals a renamed class or the last
  // part of a property rule's name, ignoring ASCII case (nor does a word without its first
  // byte, which may be a name's length byte). The rules need not look at such a form.
  bool MayActIn(std::string_view form) const;

  // The RENP, DELP and PSET commands, each kind in script order.
  const std::vector<const TCommand*>& PropertyRenames() const { return propertyRenames_; }
  const std::vector<const TCommand*>& PropertyDeletions() const { return propertyDeletions_; }
  const std::vector<const TCommand*>& SetConversions() const { return setConversions_; }

 private:
  std::unordered_map<std::string, const TCommand*> classRenames_;  // by upper-cased name
  std::vector<const TCommand*> propertyRenames_;
  std::vector<const TCommand*> propertyDeletions_;
  std::vector<const TCommand*> setConversions_;
  // Upper-cased: the renamed classes, and the last part of each property rule's name.
  std::unordered_set<std::string> names_;
  // A rule's name that the split into words cannot find: the rules look at every form.
  bool anyForm_ = false;
  std::size_t longestName_ = 0;
};

}  // namespace reshape
