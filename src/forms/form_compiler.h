// The form compiler: turns the text form of a form file back into a binary form stream in one
// recursive-descent pass, renaming classes (RENC) and letting the property rules act on the way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/filer.h"
#include "forms/form_rules.h"
#include "forms/parser.h"
#include "platform/stream.h"
#include "script/run_state.h"

namespace reshape {

// Set elements produced by property-to-set conversions in the current object, each entry
// "element=set property name". The form pass owns it for the whole pass.
using PendingSetList = std::vector<std::string>;

// What a compilation shares with the rules: the run (commands, file name, change flag, log),
// the pending set elements, and the class (after renaming) and name of the object whose header
// was read last.
struct FormCompileContext {
  // Sorts the rules out of run.Commands for this compilation alone.
  FormCompileContext(RunState& run, PendingSetList& pendingSets)
      : Run(run),
        PendingSets(pendingSets),
        ownRules_(std::make_unique<FormRules>(run.Commands)),
        Rules(*ownRules_) {}
  // Uses rules sorted once for a whole pass; they must outlive the context.
  FormCompileContext(RunState& run, PendingSetList& pendingSets, const FormRules& rules)
      : Run(run), PendingSets(pendingSets), Rules(rules) {}

  RunState& Run;
  PendingSetList& PendingSets;

 private:
  std::unique_ptr<const FormRules> ownRules_;

 public:
  const FormRules& Rules;
  std::string CurrentClassName;
  std::string CurrentObjectName;
};

// Compiles the text read from text's position and then writes the resource header and the
// compiled stream to output. On any failure nothing has been written to output.
void WriteFormFile(TStream& text, TStream& output, FormCompileContext& context);

// Compiles the text into compiled: signature and root object, no resource header.
void CompileForm(TStream& text, TMemoryStream& compiled, FormCompileContext& context);

// The parser and writer of one compilation, shared by its steps and the property rules.
struct CompileSession {
  TParser& Parser;
  TWriter& Writer;
  FormCompileContext& Context;
  // Off while a dropped value is read: its collection items must not trigger rules.
  bool ApplyRules = true;
  // Objects, lists and collections open around the current token.
  int Depth = 0;
};

// A string expression: its bytes, or its 16-bit units once any part needed them.
struct JoinedString {
  bool IsWide = false;
  std::string Narrow;
  std::u16string Wide;
};

// Each step starts at the first token of its construct and leaves the token after it current.
void CompileObject(CompileSession& session);
void CompileHeader(CompileSession& session, std::uint8_t flags);
std::int32_t ReadOrderModifier(CompileSession& session);
void CompileValue(CompileSession& session);
JoinedString JoinStrings(CompileSession& session);

}  // namespace reshape
