// A change as a converter hands it over: the command that made it, what kind of change it is,
// its texts and where it stands. Converters see no file name, log or console; the driver that
// passes the sink in formats, logs, counts and reports each change.
#pragma once

#include <string_view>

#include "script/command.h"

namespace reshape {

enum class ChangeKind {
  ClassRenamed,     // from, to: the command's class names
  StringRenamed,    // from, to: the command's strings
  UnitRenamed,      // from, to: the command's unit names
  PackageRenamed,   // from, to: the command's package names
  PropertyRenamed,  // from, to: the command's property names
  PropertyDeleted,  // from: the command's property name
  SetConverted,     // to: the class of the object whose property became a set
};

struct Change {
  const TCommand& command;
  ChangeKind kind;
  std::string_view from;
  std::string_view to;
  int line;  // from 1, in the source file or in the form's text form
};

// Receives a converter's changes one at a time, in the order they are made.
class ChangeSink {
 public:
  virtual ~ChangeSink() = default;
  virtual void Add(const Change& change) = 0;
};

}  // namespace reshape
