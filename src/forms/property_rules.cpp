#include "forms/property_rules.h"

#include <algorithm>
#include <vector>

#include "base/ascii_case.h"
#include "forms/form_stream.h"
#include "forms/form_to_text.h"

namespace reshape {

namespace {

// The first of rules for this path, and for value when one is given. An empty class qualifier
// matches every class, except in PSET rules: they name their class.
const TCommand* FindRule(const std::vector<const TCommand*>& rules, std::string_view className,
                         std::string_view path, std::optional<std::string_view> value = {}) {
  for (const TCommand* rule : rules)
    if ((rule->ClassName.empty() ? rule->Kind != CommandKind::PSET
                                 : SameIgnoringAsciiCase(rule->ClassName, className)) &&
        SameIgnoringAsciiCase(rule->PropName, path) &&
        (!value || SameIgnoringAsciiCase(*value, rule->PropValue)))
      return rule;
  return nullptr;
}

}  // namespace

PropertyDecision DecideByName(const FormRules& rules, std::string_view className,
                              std::string_view path) {
  if (const TCommand* rename = FindRule(rules.PropertyRenames(), className, path))
    return {PropertyFate::Rename, rename};
  if (FindRule(rules.SetConversions(), className, path)) return {PropertyFate::AskValue, nullptr};
  // Without a value no PSET rule applies: a DELP rule or none decides.
  return DecideByValue(rules, className, path, std::nullopt);
}

PropertyDecision DecideByValue(const FormRules& rules, std::string_view className,
                               std::string_view path, std::optional<std::string_view> value) {
  if (value)
    if (const TCommand* conversion = FindRule(rules.SetConversions(), className, path, value))
      return {PropertyFate::ToSetElement, conversion};
  if (const TCommand* deletion = FindRule(rules.PropertyDeletions(), className, path))
    return {PropertyFate::Delete, deletion};
  return {};
}

std::optional<std::string> ValueAsScriptText(std::string_view value) {
  FormReader reader(value);
  switch (reader.PeekTag()) {
    case TagString:
    case TagLongString: return std::string(reader.ReadStringValue());
    case TagWideString:
    case TagUtf8String: {
      const std::u16string units = reader.PeekTag() == TagWideString
                                       ? reader.ReadWideStringValue()
                                       : reader.ReadUtf8StringValue();
      if (std::ranges::any_of(units, [](char16_t unit) { return unit > 255; })) return std::nullopt;
      return std::string(units.begin(), units.end());
    }
    case TagList:
    case TagSet:
    case TagCollection:
    case TagBinary: return std::nullopt;
    default: break;
  }
  return FormValueToText(value);
}

}  // namespace reshape
