// What the rules make of one form: RENC renames classes, RENP renames properties, DELP removes
// them, PSET turns a property's value into an element of a set property. Both readers tell it
// the form in text order (the text reader as it reads, the walk over a binary form's tree
// afterwards), so that changes come in text order and the first failure in the text is the
// one reported; it notes its decisions on the tree's nodes and hands each change to the sink.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_rules.h"
#include "forms/form_tree.h"
#include "script/change.h"

namespace reshape {

// How a property's value is to be read once its name is known.
enum class ValueUse {
  kKeep,  // kept: the rules act on the properties of its collection items
  kDrop,  // removed: read for its errors only
  kAsk,   // a single value that decides (ValueRead)
};

class FormMigration {
 public:
  FormMigration(const FormRules& rules, ChangeSink& changes) : rules_(rules), changes_(changes) {}

  // The object's header was read; line is that of the token after it. Fails for a class name
  // the text form could not read back ("Class name too long", "Class name expected").
  void BeginObject(FormObject& object, int line);
  // A property's name path was read, in the current object's own list (own) or in one of its
  // collection items. failLine: the line of the token after the path.
  ValueUse NameRead(FormProperty& property, bool own, int failLine);
  // For kAsk: whether the value is a single value; kAsk again when its text must decide.
  ValueUse ShapeRead(FormProperty& property, bool own, bool single);
  // The deciding single value was read; scriptText is how a script compares it.
  void ValueRead(FormProperty& property, bool own, std::optional<std::string_view> scriptText);
  // The object's own property list ended; line is that of the token after it. Places the set
  // elements of its PSET conversions.
  void EndPropertyList(int line);
  void EndObject() { frames_.pop_back(); }

 private:
  struct Conversion {
    std::string_view set;
    std::string_view element;
  };
  // The object whose properties are read: its own properties that were kept, by index, and
  // the conversions made so far.
  struct Frame {
    FormObject* object;
    std::vector<std::size_t> stated;
    std::vector<Conversion> conversions;
  };

  void Keep(FormProperty& property, bool own);
  void Remove(FormProperty& property, const TCommand& rule);

  const FormRules& rules_;
  ChangeSink& changes_;
  std::vector<Frame> frames_;
};

// Tells migration a tree read from a binary form, in text order, with the lines its printed
// text form gave it.
void MigrateBinaryTree(FormTree& tree, FormMigration& migration);

}  // namespace reshape
