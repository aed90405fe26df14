#include "forms/property_rules.h"

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ascii_case.h"

namespace reshape {

namespace {

// Takes every byte and keeps none: a dropped value is compiled into it.
class DiscardStream : public TStream {
 public:
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void*, std::size_t count) override { return count; }
  std::int64_t Seek(std::int64_t, SeekOrigin) override { return 0; }
};

// A rule may give an empty name, which would read back as the end of a list and corrupt the
// form; the compilation fails instead and the form stays as it was.
void WriteRuleName(CompileSession& session, std::string_view name, std::string_view message) {
  if (name.empty()) session.Parser.Fail(message);
  session.Writer.WriteShortString(name);
}

// The plain property: path, "=", value, as written.
void WriteProperty(CompileSession& session, std::string_view path) {
  WriteRuleName(session, path, "Property name expected");
  session.Parser.Expect('=');
  session.Parser.Advance();
  CompileValue(session);
}

bool ClassQualifierMatches(const TCommand& rule, const FormCompileContext& context) {
  return rule.ClassName.empty() || SameIgnoringAsciiCase(rule.ClassName, context.CurrentClassName);
}

// The first RENP or DELP rule for this path in the current object's class.
const TCommand* FindRule(const CompileSession& session, const std::vector<const TCommand*>& rules,
                         std::string_view path) {
  for (const TCommand* rule : rules)
    if (ClassQualifierMatches(*rule, session.Context) && SameIgnoringAsciiCase(rule->PropName, path))
      return rule;
  return nullptr;
}

// Every PSET rule for this path; these name their class, an empty one matches nothing.
std::vector<const TCommand*> FindConversions(const CompileSession& session, std::string_view path) {
  std::vector<const TCommand*> rules;
  for (const TCommand* rule : session.Context.Rules.SetConversions())
    if (!rule->ClassName.empty() &&
        SameIgnoringAsciiCase(rule->ClassName, session.Context.CurrentClassName) &&
        SameIgnoringAsciiCase(rule->PropName, path))
      rules.push_back(rule);
  return rules;
}

void DeleteProperty(CompileSession& session, const TCommand& rule) {
  session.Context.Run.Changed("Deleted propertry \"" + rule.PropName + "\"");
  SkipValue(session);
}

// The value is read once and compared with each rule's value in script order; the first equal
// one makes it a set element. Otherwise a DELP rule drops the property, or it stays.
void ConvertToSetElement(CompileSession& session, std::string_view path,
                         const std::vector<const TCommand*>& rules) {
  TParser& parser = session.Parser;
  FormCompileContext& context = session.Context;
  parser.Expect('=');
  parser.Advance();
  std::string value = parser.TokenText();
  for (const TCommand* rule : rules) {
    if (!SameIgnoringAsciiCase(value, rule->PropValue)) continue;
    context.PendingSets.push_back(rule->SetValue + "=" + rule->NewPropName);
    context.Run.Changed("Converted propertry \"" + rule->ClassName + "." + rule->PropName + " = " +
                        rule->PropValue + "\" to \"" + context.CurrentClassName + "." +
                        rule->NewPropName + "[" + rule->SetValue + "]\"");
    SkipValue(session);
    return;
  }
  if (const TCommand* deletion =
          FindRule(session, session.Context.Rules.PropertyDeletions(), path)) {
    DeleteProperty(session, *deletion);
    return;
  }
  session.Writer.WriteShortString(path);
  CompileValue(session);
}

// True when a rule took care of the property.
bool ApplyPropertyRules(CompileSession& session, const std::string& path) {
  const FormRules& rules = session.Context.Rules;
  if (const TCommand* rename = FindRule(session, rules.PropertyRenames(), path)) {
    session.Context.Run.Changed("Renamed propertry \"" + rename->PropName + "\" to \"" +
                                rename->NewPropName + "\"");
    WriteProperty(session, rename->NewPropName);
    return true;
  }
  if (auto conversions = FindConversions(session, path); !conversions.empty()) {
    ConvertToSetElement(session, path, conversions);
    return true;
  }
  if (const TCommand* deletion = FindRule(session, rules.PropertyDeletions(), path)) {
    session.Parser.Expect('=');
    session.Parser.Advance();
    DeleteProperty(session, *deletion);
    return true;
  }
  return false;
}

}  // namespace

void CompileProperty(CompileSession& session) {
  session.Parser.Expect(TokIdentifier);
  std::string firstPart = session.Parser.TokenText();
  session.Parser.Advance();
  CompileProperty(session, std::move(firstPart));
}

void CompileProperty(CompileSession& session, std::string firstPart) {
  TParser& parser = session.Parser;
  std::string path = std::move(firstPart);
  while (parser.Token() == '.') {
    parser.Advance();
    parser.Expect(TokIdentifier);
    path += '.';
    path += parser.TokenText();
    parser.Advance();
  }
  if (session.ApplyRules && ApplyPropertyRules(session, path)) return;
  WriteProperty(session, path);
}

void SkipValue(CompileSession& session) {
  DiscardStream discard;
  TMyWriter writer(discard);
  CompileSession skipping{session.Parser, writer, session.Context, false, session.Depth};
  CompileValue(skipping);
}

void WritePendingSetProperties(CompileSession& session) {
  PendingSetList& pending = session.Context.PendingSets;
  if (pending.empty()) return;
  struct SetProperty {
    std::string_view name;
    std::vector<std::string_view> elements;
  };
  std::vector<SetProperty> sets;
  std::unordered_map<std::string, std::size_t> byName;
  for (const std::string& entry : pending) {
    std::size_t equals = entry.find('=');
    std::string_view element = std::string_view(entry).substr(0, equals);
    std::string_view name = equals == std::string::npos
                                ? std::string_view()
                                : std::string_view(entry).substr(equals + 1);
    auto [at, added] = byName.try_emplace(AsciiUpperCase(name), sets.size());
    if (added) sets.push_back({name, {}});
    sets[at->second].elements.push_back(element);
  }
  for (const SetProperty& set : sets) {
    WriteRuleName(session, set.name, "Property name expected");
    session.Writer.WriteTag(TagSet);
    for (std::string_view element : set.elements)
      WriteRuleName(session, element, "Set element expected");
    session.Writer.WriteShortString("");
  }
  pending.clear();
}

}  // namespace reshape
