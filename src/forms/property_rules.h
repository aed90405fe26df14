// What the property rules make of one property line while a form is compiled: RENP renames the
// property, PSET turns one of its values into an element of a set property, DELP drops it, in
// that order of precedence; without a rule it is kept as written. Pure decisions: the compiler
// asks, reads and writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "forms/form_rules.h"

namespace reshape {

enum class PropertyFate { Keep, Rename, Delete, ToSetElement, AskValue };

struct PropertyDecision {
  PropertyFate fate = PropertyFate::Keep;
  const TCommand* rule = nullptr;
};

// From the property's path in an object of class className (after RENC): Rename, Delete or
// Keep, or AskValue when a PSET rule names the property and its value decides.
PropertyDecision DecideByName(const FormRules& rules, std::string_view className,
                              std::string_view path);

// For AskValue, from the value as ValueAsScriptText gives it: the first PSET rule in script
// order whose value equals it (ASCII case ignored) makes it a set element; otherwise a DELP
// rule deletes the property, or it is kept. No value equals no rule.
PropertyDecision DecideByValue(const FormRules& rules, std::string_view className,
                               std::string_view path, std::optional<std::string_view> value);

// A compiled single value (tag and payload) as a script compares it: a string's whole bytes,
// anything else as the text form writes it ($10 is 16, 1.50 is 1.5). None for a wide string
// with a unit above 255, and for lists, sets, collections and binary data.
std::optional<std::string> ValueAsScriptText(std::string_view value);

}  // namespace reshape
