#include "forms/form_rules.h"

#include "base/ascii_case.h"

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
  }
}

const TCommand* FormRules::FindClassRename(std::string_view className) const {
  if (classRenames_.empty()) return nullptr;
  auto found = classRenames_.find(AsciiUpperCase(className));
  return found == classRenames_.end() ? nullptr : found->second;
}

}  // namespace reshape
