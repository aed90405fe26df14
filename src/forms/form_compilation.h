// One compilation of a text form: the tokenizer and writer it shares between the steps for
// objects, properties and values. Each step starts at the first token of its construct and
// leaves the token after it current.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_rules.h"
#include "forms/form_stream.h"
#include "forms/form_to_text.h"
#include "forms/set_conversions.h"
#include "forms/text_form_edits.h"
#include "forms/tokenizer.h"
#include "script/change.h"

namespace reshape {

// What the compiler knows of the object whose properties it compiles, collection items
// included: its class after RENC, the conversions made so far, and its own properties; and
// where its header and first own property stand in the text.
struct ObjectFrame {
  std::string className;
  std::vector<SetConversion> conversions;
  std::vector<StatedProperty> stated;
  std::size_t headerAt = 0;
  std::size_t firstPropertyAt = std::string_view::npos;
};

class FormCompilation {
 public:
  // edits, when given, receives the edits that migrate the text in place; nothing is then
  // written to out.
  FormCompilation(std::string_view text, std::string& out, const FormRules& rules, ChangeSink& changes,
                  TextFormEdits* edits = nullptr)
      : tokenizer_(text), out_(out, edits != nullptr), writer_(&out_), rules_(rules), changes_(changes),
        edits_(edits) {}

  // Values whose first token stands at a span's offset are written as its original bytes.
  void CopyValuesFrom(const OriginalValues& originals) { originals_ = &originals; }

  // Signature and root object.
  void CompileRoot();

 private:
  // One level more of objects, lists and collections, for as long as the result lives.
  NestingLevel Nest();

  // Objects and properties (form_compiler.cpp).
  void CompileObject();
  void CompileObjectAfterKeyword(std::uint8_t flags, std::size_t keywordAt);
  void CompileHeader(std::uint8_t flags, ObjectFrame& frame);
  // A "[n]" order, -1 without one; valueAt receives the offset of the number when there is one.
  std::int32_t ReadOrderModifier(std::size_t& valueAt);
  bool IsPropertyName() const;
  bool EndsPropertyList() const;
  // One property line; own is true for the object's own list, false in collection items.
  void CompileProperty(std::string path, bool own, std::size_t nameAt);
  void CompileAskedValue(const std::string& path, bool own, std::size_t nameAt, int line);
  void CompileStatedValue(std::string_view name, bool own);
  void WriteName(std::string_view name, bool own);
  void SkipValue(bool inList = false);
  // The span of the value at textOffset, if any; offsets are asked for in text order.
  const ValueSpan* FindOriginal(std::size_t textOffset);
  void WriteOriginal(const ValueSpan& span);
  // Writes the current value's original bytes and consumes it, if it has them.
  bool CopyOriginalValue(bool inList);
  // The property whose name starts at nameAt and whose value was just read is dropped.
  void NoteRemoved(std::size_t nameAt);
  void NoteSetChanges(const std::vector<SetChange>& changes, std::size_t boundaryAt);

  // Values (value_compiler.cpp).
  // inList: an element of a list, which may not be the identifier Null.
  void CompileValue(bool inList = false);
  void CompileIdentifier(bool inList);
  void CompileInteger();
  void CompileFloat();
  void CompileString();
  void CompileList();
  void CompileSet();
  void CompileCollection();
  void CompileBinary();

  Tokenizer tokenizer_;
  FormWriter out_;
  FormWriter* writer_;
  const FormRules& rules_;
  ChangeSink& changes_;
  TextFormEdits* edits_;
  ObjectFrame* frame_ = nullptr;
  // Off while a dropped value is read: its collection items must not trigger rules.
  bool applyRules_ = true;
  int depth_ = 0;
  const OriginalValues* originals_ = nullptr;
  std::size_t nextOriginal_ = 0;
  // Receives the elements of the set value being compiled, when it is a stated property's.
  std::vector<std::string_view>* setElements_ = nullptr;
};

}  // namespace reshape
