#include "forms/property_rules.h"

#include <vector>

#include "base/ascii_case.h"

namespace reshape {

namespace {

// The first RENP or DELP rule for this path; an empty class qualifier matches every class.
const TCommand* FindRule(const std::vector<const TCommand*>& rules, std::string_view className,
                         std::string_view path) {
  for (const TCommand* rule : rules)
    if ((rule->ClassName.empty() || SameIgnoringAsciiCase(rule->ClassName, className)) &&
        SameIgnoringAsciiCase(rule->PropName, path))
      return rule;
  return nullptr;
}

// PSET rules name their class; an empty one matches nothing.
bool IsConversionFor(const TCommand& rule, std::string_view className, std::string_view path) {
  return !rule.ClassName.empty() && SameIgnoringAsciiCase(rule.ClassName, className) &&
         SameIgnoringAsciiCase(rule.PropName, path);
}

}  // namespace

PropertyDecision DecideByName(const FormRules& rules, std::string_view className,
                              std::string_view path) {
  if (const TCommand* rename = FindRule(rules.PropertyRenames(), className, path))
    return {PropertyFate::Rename, rename};
  for (const TCommand* rule : rules.SetConversions())
    if (IsConversionFor(*rule, className, path)) return {PropertyFate::AskValue, nullptr};
  if (const TCommand* deletion = FindRule(rules.PropertyDeletions(), className, path))
    return {PropertyFate::Delete, deletion};
  return {};
}

PropertyDecision DecideByValue(const FormRules& rules, std::string_view className,
                               std::string_view path, std::string_view value) {
  for (const TCommand* rule : rules.SetConversions())
    if (IsConversionFor(*rule, className, path) && SameIgnoringAsciiCase(value, rule->PropValue))
      return {PropertyFate::ToSetElement, rule};
  if (const TCommand* deletion = FindRule(rules.PropertyDeletions(), className, path))
    return {PropertyFate::Delete, deletion};
  return {};
}

std::string ClassRenameMessage(const TCommand& rule) {
  return "Renamed class \"" + rule.ClassName + "\" to \"" + rule.NewClassName + "\"";
}

std::string PropertyRenameMessage(const TCommand& rule) {
  return "Renamed propertry \"" + rule.PropName + "\" to \"" + rule.NewPropName + "\"";
}

std::string PropertyDeletionMessage(const TCommand& rule) {
  return "Deleted propertry \"" + rule.PropName + "\"";
}

std::string SetConversionMessage(const TCommand& rule, std::string_view className) {
  return "Converted propertry \"" + rule.ClassName + "." + rule.PropName + " = " +
         rule.PropValue + "\" to \"" + std::string(className) + "." + rule.NewPropName + "[" +
         rule.SetValue + "]\"";
}

}  // namespace reshape
