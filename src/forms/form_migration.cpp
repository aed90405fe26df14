#include "forms/form_migration.h"

#include <algorithm>

#include "base/ascii_case.h"
#include "base/errors.h"
#include "forms/form_stream.h"
#include "forms/form_to_text.h"
#include "forms/property_rules.h"
#include "forms/text_values.h"

namespace reshape {

namespace {

[[noreturn]] void Fail(std::string_view message, int line) {
  throw Failure(FailureKind::kFormTextSyntax, std::string(message), line);
}

}  // namespace

void FormMigration::BeginObject(FormObject& object, int line) {
  if (const TCommand* rename = rules_.FindClassRename(object.className)) {
    object.renamed = true;
    object.newClassName = rename->NewClassName;
    changes_.Add({*rename, ChangeKind::ClassRenamed, rename->ClassName, rename->NewClassName, line});
  }
  // A length byte of 240 or more would read back as an object prefix, and a name that is not
  // an identifier would not read back at all: the form stays as it was.
  if (object.ClassName().size() >= kMaxClassNameLength) Fail("Class name too long", line);
  if (!IsIdentifier(object.ClassName())) Fail("Class name expected", line);
  frames_.push_back({&object, {}, {}});
}

ValueUse FormMigration::NameRead(FormProperty& property, bool own, int failLine) {
  const PropertyDecision decision =
      DecideByName(rules_, frames_.back().object->ClassName(), property.name);
  switch (decision.fate) {
    case PropertyFate::Rename: {
      const TCommand& rule = *decision.rule;
      changes_.Add({rule, ChangeKind::PropertyRenamed, rule.PropName, rule.NewPropName, property.line});
      if (rule.NewPropName.size() > kMaxNameLength || !IsDottedIdentifier(rule.NewPropName))
        Fail("Property name expected", failLine);
      property.renamed = true;
      property.newName = rule.NewPropName;
      Keep(property, own);
      return ValueUse::kKeep;
    }
    case PropertyFate::AskValue: return ValueUse::kAsk;
    case PropertyFate::Delete: Remove(property, *decision.rule); return ValueUse::kDrop;
    default: Keep(property, own); return ValueUse::kKeep;
  }
}

// Only a single value can equal a script value; lists, sets, collections and binary data never
// do: a DELP rule or none decides for them.
ValueUse FormMigration::ShapeRead(FormProperty& property, bool own, bool single) {
  if (single) return ValueUse::kAsk;
  ValueRead(property, own, std::nullopt);
  return property.removed ? ValueUse::kDrop : ValueUse::kKeep;
}

void FormMigration::ValueRead(FormProperty& property, bool own,
                              std::optional<std::string_view> scriptText) {
  Frame& frame = frames_.back();
  const PropertyDecision decision =
      DecideByValue(rules_, frame.object->ClassName(), property.name, scriptText);
  if (decision.fate == PropertyFate::Keep) return Keep(property, own);
  property.removed = true;
  const TCommand& rule = *decision.rule;
  if (decision.fate == PropertyFate::ToSetElement) {
    frame.conversions.push_back({rule.NewPropName, rule.SetValue});
    changes_.Add({rule, ChangeKind::SetConverted, {}, frame.object->ClassName(), property.line});
  } else {
    changes_.Add({rule, ChangeKind::PropertyDeleted, rule.PropName, {}, property.line});
  }
}

void FormMigration::Keep(FormProperty& property, bool own) {
  Frame& frame = frames_.back();
  if (own) frame.stated.push_back(static_cast<std::size_t>(&property - frame.object->properties.data()));
}

void FormMigration::Remove(FormProperty& property, const TCommand& rule) {
  property.removed = true;
  changes_.Add({rule, ChangeKind::PropertyDeleted, rule.PropName, {}, property.line});
}

// A set that the object states under a conversion's set name (ASCII case ignored; the last
// such property) gets the elements it does not hold yet; the other names get one new set
// property each, in the order of their first conversion, elements in conversion order.
void FormMigration::EndPropertyList(int line) {
  Frame& frame = frames_.back();
  std::vector<NewSet> groups;
  for (const Conversion& conversion : frame.conversions) {
    auto same = [&](const NewSet& g) { return SameIgnoringAsciiCase(g.name, conversion.set); };
    auto group = std::find_if(groups.begin(), groups.end(), same);
    if (group == groups.end()) group = groups.insert(groups.end(), {conversion.set, {}});
    group->elements.push_back(conversion.element);
  }
  std::vector<FormProperty>& properties = frame.object->properties;
  for (NewSet& group : groups) {
    if (group.name.size() > kMaxNameLength || !IsDottedIdentifier(group.name))
      Fail("Property name expected", line);
    for (std::string_view element : group.elements)
      if (element.size() > kMaxNameLength || !IsIdentifier(element)) Fail("Set element expected", line);
    // Names and elements as a binary form holds them: cut to 255 bytes.
    auto named = [&](std::size_t index) {
      return SameIgnoringAsciiCase(properties[index].Name().substr(0, kMaxNameLength), group.name);
    };
    const auto stated = std::find_if(frame.stated.rbegin(), frame.stated.rend(), named);
    if (stated == frame.stated.rend() || properties[*stated].value.shape != ValueShape::kSet) {
      frame.object->newSets.push_back(std::move(group));
      continue;
    }
    ValueParts& set = properties[*stated].value.Parts();
    std::vector<std::string_view> held;
    for (std::string_view e : set.names) held.push_back(e.substr(0, kMaxNameLength));
    for (std::string_view element : group.elements) {
      auto same = [&](std::string_view h) { return SameIgnoringAsciiCase(h, element); };
      if (std::ranges::any_of(held, same)) continue;
      held.push_back(element);
      set.added.push_back(element);
    }
  }
}

namespace {

class BinaryTreeWalk {
 public:
  BinaryTreeWalk(std::string_view source, FormMigration& migration)
      : source_(source), migration_(migration) {}

  void Object(FormObject& object) {
    migration_.BeginObject(object, object.headerLine);
    for (FormProperty& property : object.properties) Property(property, true);
    migration_.EndPropertyList(object.listEndLine);
    for (FormObject& child : object.children) Object(child);
    migration_.EndObject();
  }

 private:
  void Property(FormProperty& property, bool own) {
    ValueUse use = migration_.NameRead(property, own, property.line);
    if (use == ValueUse::kAsk)
      use = migration_.ShapeRead(property, own, property.value.shape == ValueShape::kSingle);
    if (use == ValueUse::kAsk) {
      // The value is compared as its text form reads, as a text form's is.
      const std::string_view bytes = source_.substr(property.value.span.begin,
                                                    property.value.span.end - property.value.span.begin);
      const std::optional<std::string> text = ScriptTextOf(FormValueToText(bytes));
      migration_.ValueRead(property, own, text);
    }
    if (use == ValueUse::kKeep) Inside(property.value);
  }

  // Item properties go through the rules of the enclosing object, but are not its own list.
  void Inside(FormValue& value) {
    if (!value.parts) return;
    for (FormValue& element : value.parts->elements) Inside(element);
    for (CollectionItem& item : value.parts->items)
      for (FormProperty& property : item.properties) Property(property, false);
  }

  std::string_view source_;
  FormMigration& migration_;
};

}  // namespace

void MigrateBinaryTree(FormTree& tree, FormMigration& migration) {
  BinaryTreeWalk(tree.source, migration).Object(tree.root);
}

}  // namespace reshape
