#include "driver/change_message.h"

namespace reshape {

namespace {

// Built by appending: GCC's overlap check misreads a chain of concatenations here.
std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '"').append(text).append(1, '"');
  return quoted;
}

std::string FromTo(std::string_view what, const Change& change) {
  return std::string(what) + " " + Quoted(change.from) + " to " + Quoted(change.to);
}

}  // namespace

std::string ChangeMessage(const Change& change) {
  const TCommand& rule = change.command;
  switch (change.kind) {
    case ChangeKind::ClassRenamed: return FromTo("Renamed class", change);
    case ChangeKind::StringRenamed: return FromTo("Renamed string", change);
    case ChangeKind::UnitRenamed: return FromTo("Renamed unit", change);
    case ChangeKind::PackageRenamed: return FromTo("Renamed/Replaced package", change);
    case ChangeKind::PropertyRenamed: return FromTo("Renamed propertry", change);
    case ChangeKind::PropertyDeleted: return "Deleted propertry " + Quoted(change.from);
    case ChangeKind::SetConverted:
      return "Converted propertry " +
             Quoted(rule.ClassName + "." + rule.PropName + " = " + rule.PropValue) + " to " +
             Quoted(std::string(change.to) + "." + rule.NewPropName + "[" + rule.SetValue + "]");
  }
  return {};
}

}  // namespace reshape
