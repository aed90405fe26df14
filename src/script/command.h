// One parsed script command and the ordered list of all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reshape {

enum class CommandKind : std::uint8_t { RENC = 0, RENP, DELP, PSET, RENU, PKGR, RENS };

// The fields a kind does not use stay empty. Texts are kept exactly as written in the script.
struct TCommand {
  CommandKind Kind = CommandKind::RENC;
  std::string ClassName;
  std::string NewClassName;
  std::string PropName;
  std::string NewPropName;
  std::string PropValue;
  std::string SetValue;
  std::string UnitName;
  std::string NewUnitName;
  std::string PackageName;
  std::string NewPackageName;
  std::string OldString;
  std::string NewString;
  // Where the command stands in the script, for reports that point the user to it: its line
  // number (from 1) and the line as written, without its line break.
  int ScriptLine = 0;
  std::string Text;
};

// In script order; rules that stop at the first match rely on that order.
using CommandList = std::vector<TCommand>;

}  // namespace reshape
