#include "driver/script_check.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>

#include "base/ascii_case.h"
#include "forms/form_stream.h"
#include "script/name_rules.h"
#include "script/script_reader.h"

namespace reshape {

namespace {

// The keyword names in the order of CommandKind; a command line starts with one and ">".
constexpr std::array<std::string_view, 7> kNames = {"RENC", "RENP", "DELP", "PSET",
                                                    "RENU", "PKGR", "RENS"};
// RENS and PKGR chains are found by searching every earlier new text; beyond this many bytes
// searched a huge script is not looked at further for them.
constexpr std::size_t kChainSearchBudget = std::size_t{16} << 20;

std::string_view NameOf(CommandKind kind) { return kNames[static_cast<int>(kind)]; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// What a field must be for its command to act and for a form to hold the result.
enum class Role {
  OldWord, OldDottedWord, NewClass, NewWord, OldText, Other,  // source files
  Qualifier, Class, Path, NewPath, Element                    // forms
};

struct Field {
  std::string TCommand::*member;
  std::string_view label;
  Role role;
};

std::span<const Field> FieldsOf(CommandKind kind) {
  using T = TCommand;
  static constexpr Field kRenc[] = {{&T::ClassName, "old class name", Role::OldWord},
                                    {&T::NewClassName, "new class name", Role::NewClass}};
  static constexpr Field kRenp[] = {{&T::ClassName, "class", Role::Qualifier},
                                    {&T::PropName, "property", Role::Path},
                                    {&T::NewPropName, "new property name", Role::NewPath}};
  static constexpr Field kDelp[] = {{&T::ClassName, "class", Role::Qualifier},
                                    {&T::PropName, "property", Role::Path}};
  static constexpr Field kPset[] = {{&T::ClassName, "class", Role::Class},
                                    {&T::PropName, "property", Role::Path},
                                    {&T::PropValue, "value", Role::Other},
                                    {&T::NewPropName, "set property", Role::NewPath},
                                    {&T::SetValue, "set element", Role::Element}};
  static constexpr Field kRenu[] = {{&T::UnitName, "old unit name", Role::OldDottedWord},
                                    {&T::NewUnitName, "new unit name", Role::NewWord}};
  static constexpr Field kPkgr[] = {{&T::PackageName, "old package name", Role::OldText},
                                    {&T::NewPackageName, "new package name", Role::Other}};
  static constexpr Field kRens[] = {{&T::OldString, "old text", Role::OldText},
                                    {&T::NewString, "new text", Role::Other}};
  static constexpr std::span<const Field> kAll[] = {kRenc, kRenp, kDelp, kPset,
                                                    kRenu, kPkgr, kRens};
  return kAll[static_cast<int>(kind)];
}

// The command line with the fields as given, in the written form of its kind.
std::string Compose(const TCommand& c, auto field) {
  std::string line(std::string_view(c.Text).substr(0, 5));
  auto qualified = [&] {
    std::string_view qualifier = field(c.ClassName);
    return qualifier.empty() ? std::string() : std::string(qualifier) + ":";
  };
  switch (c.Kind) {
    case CommandKind::RENP:
      return line + qualified() + std::string(field(c.PropName)) + "," +
             std::string(field(c.NewPropName));
    case CommandKind::DELP: return line + qualified() + std::string(field(c.PropName));
    case CommandKind::PSET:
      return line + std::string(field(c.ClassName)) + ":" + std::string(field(c.PropName)) + "=" +
             std::string(field(c.PropValue)) + "," + std::string(field(c.NewPropName)) + "[" +
             std::string(field(c.SetValue)) + "]";
    default: {
      std::span<const Field> f = FieldsOf(c.Kind);
      return line + std::string(field(c.*f[0].member)) + "," + std::string(field(c.*f[1].member));
    }
  }
}

// The problem of one field, from its text without surrounding blanks; empty when it is fine.
std::string FieldProblem(const Field& f, std::string_view v, std::string_view kind) {
  const std::string label(f.label);
  const std::string quoted = "the " + label + " '" + std::string(v) + "'";
  const std::string neverActs = ", so " + std::string(kind) + " never acts";
  const std::string noForm = ", so a form cannot hold it";
  auto notOneWord = [&](std::string_view delimiters) {
    return v.find_first_of(delimiters) != std::string_view::npos
               ? quoted + " is never one word of a source file" + neverActs
               : std::string();
  };
  auto nameProblem = [&](bool valid, std::string_view what, std::string_view consequence) {
    if (v.empty()) return "the " + label + " is empty" + std::string(consequence);
    if (!valid) return quoted + " is not " + std::string(what) + std::string(consequence);
    return std::string();
  };
  // A name a form is to hold: valid, and at most max bytes long.
  auto formName = [&](bool valid, std::string_view what, std::size_t max) {
    if (std::string p = nameProblem(valid, what, noForm); !p.empty()) return p;
    return v.size() > max ? "the " + label + " is " + std::to_string(v.size()) +
                                " bytes long; a form holds at most " + std::to_string(max)
                          : std::string();
  };
  const std::string dotted = "a property path (identifiers joined by dots)";
  switch (f.role) {
    case Role::OldWord:
      return v.empty() ? "the " + label + " is empty" + neverActs : notOneWord(WideDelimiterSet);
    case Role::OldDottedWord:
      return v.empty() ? "the " + label + " is empty" + neverActs : notOneWord(" ,;-+/*()^=:[]");
    case Role::OldText: return v.empty() ? "the " + label + " is empty" + neverActs : "";
    case Role::NewWord:
      return v.empty() ? "the " + label + " is empty, so the old name is removed" : "";
    case Role::NewClass: return formName(IsIdentifier(v), "an identifier", kMaxClassNameLength - 1);
    case Role::Qualifier:
      return v.empty() || IsIdentifier(v) ? "" : quoted + " is not an identifier" + neverActs;
    case Role::Class: return nameProblem(IsIdentifier(v), "an identifier", neverActs);
    case Role::Path: return nameProblem(IsDottedIdentifier(v), dotted, neverActs);
    case Role::NewPath: return formName(IsDottedIdentifier(v), dotted, kMaxNameLength);
    case Role::Element: return formName(IsIdentifier(v), "an identifier", kMaxNameLength);
    case Role::Other: return "";
  }
  return "";
}

// What a keyword line lacks for its kind to be read; empty when it has what it needs.
std::string MissingSeparators(CommandKind kind, std::string_view line) {
  auto lacks = [&](char c) { return line.find(c) == std::string_view::npos; };
  switch (kind) {
    case CommandKind::DELP: return "";
    case CommandKind::PSET: {
      std::string missing;
      for (char c : {':', '=', ',', '[', ']'})
        if (lacks(c)) missing += std::string(missing.empty() ? "" : " ") + "'" + c + "'";
      if (missing.empty()) return "";
      return "PSET needs all of ':', '=', ',', '[' and ']', as in "
             "PSET>Class:Property=Value,SetProperty[Element]; missing: " +
             missing;
    }
    case CommandKind::RENP:
      return lacks(',') ? "RENP needs a comma between the property and its new name" : "";
    default: {
      if (!lacks(',')) return "";
      std::string_view label = FieldsOf(kind)[0].label.substr(4);
      return std::string(NameOf(kind)) + " needs a comma between the old and the new " +
             std::string(label);
    }
  }
}

// True when a and b (upper case) differ by one letter changed, added, dropped or swapped
// with its neighbour.
bool OneEditApart(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  std::size_t i = 0;
  while (i < b.size() && a[i] == b[i]) ++i;
  if (a.size() == b.size() + 1) return a.substr(i + 1) == b.substr(i);
  if (a.size() != b.size() || i == a.size()) return false;
  if (a.substr(i + 1) == b.substr(i + 1)) return true;
  return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] &&
         a.substr(i + 2) == b.substr(i + 2);
}

// The problem of a line that is not read as a command, when it looks like one.
std::string IgnoredLineProblem(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  std::string_view rest = line.substr(start);
  std::size_t wordEnd = 0;
  while (wordEnd < rest.size() && IsAsciiLetter(rest[wordEnd])) ++wordEnd;
  const std::string word = AsciiUpperCase(rest.substr(0, wordEnd));
  std::string_view after = rest.substr(wordEnd);
  for (std::size_t k = 0; k < kNames.size(); ++k) {
    if (word != kNames[k]) continue;
    std::string_view fields = after;
    while (!fields.empty() &&
           std::string_view(" \t:>=-").find(fields.front()) != std::string_view::npos)
      fields.remove_prefix(1);
    // Prose that starts with a keyword is left alone: a command has its separators.
    const bool commandLike = k == static_cast<std::size_t>(CommandKind::DELP)
                                 ? !fields.empty() && fields.find_first_of(" \t") == fields.npos
                                 : fields.find(',') != std::string_view::npos;
    if (!after.starts_with('>') && !commandLike) return "";
    return "not read as a command: " + std::string(kNames[k]) +
           "> must stand at the very start of the line; write " +
           std::string(rest.substr(0, wordEnd)) + ">" + std::string(fields);
  }
  if (!after.starts_with('>')) return "";
  std::string guesses;
  for (std::string_view name : kNames)
    if (OneEditApart(word, name))
      guesses += std::string(guesses.empty() ? "" : " or ") + std::string(name) + ">";
  if (guesses.empty()) return "";
  return "'" + std::string(rest.substr(0, wordEnd)) +
         ">' is not a keyword, so the line is ignored; did you mean " + guesses + "?";
}

std::string Upper(std::initializer_list<std::string_view> parts) {
  std::string key;
  for (std::string_view part : parts) key += AsciiUpperCase(part) + '\0';
  return key;
}

// The cross-command checks: which command comes first for a name, looked up by key.
class ScriptLookups {
 public:
  explicit ScriptLookups(const std::vector<TCommand>& commands) : commands_(commands) {
    for (std::size_t i = 0; i < commands.size(); ++i) {
      const TCommand& c = commands[i];
      const std::string kind(NameOf(c.Kind));
      switch (c.Kind) {
        case CommandKind::RENC:
        case CommandKind::RENU:
          first_.emplace(Upper({kind, OldOf(c)}), i);
          first_.emplace(Upper({kind + ">", NewOf(c)}), i);
          break;
        case CommandKind::RENP:
        case CommandKind::DELP:
          first_.emplace(Upper({kind, c.ClassName, c.PropName}), i);
          if (c.Kind == CommandKind::RENP) {
            first_.emplace(Upper({kind + ">", c.NewPropName}), i);
            first_.emplace(Upper({kind + ">:", c.ClassName, c.NewPropName}), i);
          }
          break;
        case CommandKind::PSET:
          first_.emplace(Upper({kind, c.ClassName, c.PropName, c.PropValue}), i);
          break;
        default: break;
      }
    }
    for (const TCommand& c : commands)
      if (c.Kind == CommandKind::RENC && Effective(c)) renamedTo_.insert(Upper({c.NewClassName}));
  }

  static std::string_view OldOf(const TCommand& c) {
    return c.Kind == CommandKind::RENP ? c.PropName : c.*FieldsOf(c.Kind)[0].member;
  }
  static std::string_view NewOf(const TCommand& c) {
    return c.Kind == CommandKind::RENP ? c.NewPropName : c.*FieldsOf(c.Kind)[1].member;
  }

  // The command that key names, when it stands before index `before` (npos: anywhere).
  const TCommand* Find(const std::string& key, std::size_t before = std::string::npos) const {
    auto found = first_.find(key);
    return found != first_.end() && found->second < before ? &commands_[found->second] : nullptr;
  }

  // A RENC or RENU that is the first for its old name.
  bool Effective(const TCommand& c) const { return Find(Upper({NameOf(c.Kind), OldOf(c)})) == &c; }

  // The earlier command that takes the place of command i, with the reason.
  std::string Shadowing(std::size_t i) const {
    const TCommand& c = commands_[i];
    const std::string kind(NameOf(c.Kind));
    auto said = [](const TCommand* by, std::string_view why) {
      return "never acts: line " + std::to_string(by->ScriptLine) + " (" + by->Text + ") " +
             std::string(why);
    };
    switch (c.Kind) {
      case CommandKind::RENC:
      case CommandKind::RENU: {
        const TCommand* by = Find(Upper({kind, OldOf(c)}), i);
        return by ? said(by, "renames the same name first") : "";
      }
      case CommandKind::PSET:
        if (const TCommand* by = Find(Upper({kind, c.ClassName, c.PropName, c.PropValue}), i))
          return said(by, "converts the same value first");
        break;
      case CommandKind::RENP:
      case CommandKind::DELP:
        for (std::string_view qualifier : {std::string_view(), std::string_view(c.ClassName)})
          if (const TCommand* by = Find(Upper({kind, qualifier, c.PropName}), i))
            return said(by, c.Kind == CommandKind::RENP ? "renames this property first"
                                                        : "deletes this property first");
        if (c.Kind == CommandKind::RENP) return "";
        break;
      default: return "";
    }
    // A property rename comes before a set conversion or deletion, wherever it stands.
    for (std::string_view qualifier : {std::string_view(), std::string_view(c.ClassName)})
      if (const TCommand* by = Find(Upper({"RENP", qualifier, c.PropName})))
        return said(by, "renames this property, and a rename comes first");
    return "";
  }

  // The earlier RENC, RENU or RENP whose new name command i renames again.
  std::string Chain(std::size_t i) const {
    const TCommand& c = commands_[i];
    const std::string kind(NameOf(c.Kind));
    const TCommand* by = nullptr;
    if (c.Kind == CommandKind::RENC || c.Kind == CommandKind::RENU) {
      by = Find(Upper({kind + ">", OldOf(c)}), i);
    } else if (c.Kind == CommandKind::RENP) {
      by = c.ClassName.empty() ? Find(Upper({kind + ">", c.PropName}), i)
                               : Find(Upper({kind + ">:", "", c.PropName}), i);
      if (!by && !c.ClassName.empty()) by = Find(Upper({kind + ">:", c.ClassName, c.PropName}), i);
    }
    // Swapping two names is what renames that do not chain are good for; a change of letter
    // case leaves the old name in place.
    if (!by || SameIgnoringAsciiCase(OldOf(*by), NewOf(c)) ||
        SameIgnoringAsciiCase(OldOf(*by), NewOf(*by)))
      return "";
    return "renames do not chain: line " + std::to_string(by->ScriptLine) + " turns '" +
           std::string(OldOf(*by)) + "' into '" + std::string(NewOf(*by)) +
           "', which this line does not rename again; for '" + std::string(OldOf(*by)) + "' to '" +
           std::string(NewOf(c)) + "' write " + std::string(by->Text.substr(0, 5)) +
           std::string(by->Kind == CommandKind::RENP && !by->ClassName.empty() ? by->ClassName + ":"
                                                                               : "") +
           std::string(OldOf(*by)) + "," + std::string(NewOf(c));
  }

  // A property rule's class that a class rename takes away before the rule is asked.
  std::string RenamedAwayQualifier(const TCommand& c) const {
    if (c.ClassName.empty() || renamedTo_.contains(Upper({c.ClassName}))) return "";
    const TCommand* by = Find(Upper({"RENC", c.ClassName}));
    if (!by || SameIgnoringAsciiCase(by->ClassName, by->NewClassName)) return "";
    return "class '" + c.ClassName + "' never reaches this rule: line " +
           std::to_string(by->ScriptLine) + " renames it to '" + by->NewClassName +
           "' first; write " + c.Text.substr(0, 5) + by->NewClassName +
           c.Text.substr(c.Text.find(':'));
  }

 private:
  const std::vector<TCommand>& commands_;
  std::unordered_map<std::string, std::size_t> first_;
  std::unordered_set<std::string> renamedTo_;
};

struct Problem {
  int line;
  std::string message;
};

// RENS and PKGR commands whose old text an earlier command's new text holds: text replaced
// once is replaced again.
void AddTextChains(const std::vector<TCommand>& commands, std::vector<Problem>& problems) {
  std::size_t budget = kChainSearchBudget;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const TCommand& c = commands[i];
    if (c.Kind != CommandKind::RENS && c.Kind != CommandKind::PKGR) continue;
    const std::string old = AsciiUpperCase(ScriptLookups::OldOf(c));
    if (old.empty()) continue;
    for (std::size_t j = 0; j < i; ++j) {
      const TCommand& e = commands[j];
      if (budget-- == 0) return;
      if (e.Kind != c.Kind) continue;
      const std::string_view newText = ScriptLookups::NewOf(e);
      if (budget < newText.size()) return;
      budget -= newText.size();
      if (AsciiUpperCase(newText).find(old) == std::string::npos) continue;
      problems.push_back({c.ScriptLine, "replaces again what line " + std::to_string(e.ScriptLine) +
                                            " puts in: its new text '" + std::string(newText) +
                                            "' holds '" + std::string(ScriptLookups::OldOf(c)) +
                                            "'"});
      break;
    }
  }
}

void AddFieldProblems(const TCommand& c, std::vector<Problem>& problems) {
  std::span<const Field> fields = FieldsOf(c.Kind);
  if (c.Kind == CommandKind::RENS) {
    if (!c.NewString.empty() && IsBlank(c.NewString.back()))
      problems.push_back(
          {c.ScriptLine, "the blanks at the end of the line are part of the new text"});
  } else {
    std::string blanks;
    for (const Field& f : fields) {
      const std::string& v = c.*f.member;
      if (Trim(v).size() == v.size()) continue;
      blanks += std::string(blanks.empty() ? " the " : ", the ") + std::string(f.label) + " '" + v +
                "'";
    }
    if (!blanks.empty())
      problems.push_back({c.ScriptLine, "blanks stay part of the name:" + blanks +
                                            "; write " + Compose(c, Trim)});
  }
  for (const Field& f : fields)
    if (std::string p = FieldProblem(f, Trim(c.*f.member), NameOf(c.Kind)); !p.empty())
      problems.push_back({c.ScriptLine, std::move(p)});
}

}  // namespace

std::vector<std::string> CheckScript(std::string_view scriptName, std::string_view scriptText) {
  const std::string prefix = std::string(scriptName) + ":";
  if (LooksLikeUtf16(scriptText))
    return {prefix + "1: the script is UTF-16; save it as ANSI or UTF-8"};

  std::vector<Problem> problems;
  std::vector<TCommand> commands;
  int number = 0;
  for (ScriptLines lines(scriptText); const auto next = lines.Next();) {
    const std::string_view line = *next;
    ++number;
    const std::optional<CommandKind> kind = KeywordOf(line);
    std::string problem = kind ? MissingSeparators(*kind, line) : IgnoredLineProblem(line);
    if (!problem.empty()) {
      problems.push_back({number, std::move(problem)});
    } else if (kind) {
      commands.push_back(ParseScript(line).front());
      commands.back().ScriptLine = number;
    }
  }

  const ScriptLookups lookups(commands);
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const TCommand& c = commands[i];
    AddFieldProblems(c, problems);
    for (std::string p : {lookups.Shadowing(i), lookups.Chain(i)})
      if (!p.empty()) problems.push_back({c.ScriptLine, std::move(p)});
    if (c.Kind == CommandKind::RENP || c.Kind == CommandKind::DELP || c.Kind == CommandKind::PSET)
      if (std::string p = lookups.RenamedAwayQualifier(c); !p.empty())
        problems.push_back({c.ScriptLine, std::move(p)});
  }
  AddTextChains(commands, problems);

  std::stable_sort(problems.begin(), problems.end(),
                   [](const Problem& a, const Problem& b) { return a.line < b.line; });
  std::vector<std::string> lines;
  for (const Problem& p : problems)
    lines.push_back(prefix + std::to_string(p.line) + ": " + p.message);
  return lines;
}

}  // namespace reshape
