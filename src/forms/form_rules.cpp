#include "forms/form_rules.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "script/name_rules.h"

namespace reshape {

FormRules::FormRules(const CommandList& commands) {
  for (const TCommand& command : commands) {
    switch (command.Kind) {
      // try_emplace keeps the first command of a name: the first one in the script wins.
      case CommandKind::RENC:
        classRenames_.try_emplace(AsciiUpperCase(command.ClassName), &command);
        break;
      case CommandKind::RENP: propertyRenames_.push_back(&command); break;
      case CommandKind::DELP: propertyDeletions_.push_back(&command); break;
      case CommandKind::PSET: setConversions_.push_back(&command); break;
      default: break;
    }
    if (command.Kind != CommandKind::RENC && command.Kind != CommandKind::RENP &&
        command.Kind != CommandKind::DELP && command.Kind != CommandKind::PSET)
      continue;
    std::string_view name = command.Kind == CommandKind::RENC ? command.ClassName : command.PropName;
    name.remove_prefix(name.rfind('.') + 1);
    anyForm_ = anyForm_ || !IsIdentifier(name);
    names_.insert(AsciiUpperCase(name));
    longestName_ = std::max(longestName_, name.size());
  }
}

bool FormRules::MayActIn(std::string_view form) const {
  if (anyForm_) return true;
  if (names_.empty()) return false;
  std::string word;
  for (std::size_t at = 0; at < form.size();) {
    if (!IsIdentChar(static_cast<unsigned char>(form[at]))) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < form.size() && IsIdentChar(static_cast<unsigned char>(form[at]))) ++at;
    // A longer word is no name, even without a length byte in front.
    if (at - start > longestName_ + 1) continue;
    word = AsciiUpperCase(form.substr(start, at - start));
    if (names_.contains(word) || names_.contains(word.substr(1))) return true;
  }
  return false;
}

const TCommand* FormRules::FindClassRename(std::string_view className) const {
  if (classRenames_.empty()) return nullptr;
  auto found = classRenames_.find(AsciiUpperCase(className));
  return found == classRenames_.end() ? nullptr : found->second;
}

}  // namespace reshape
