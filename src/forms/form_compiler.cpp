#include "forms/form_compiler.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "forms/form_compilation.h"
#include "forms/property_rules.h"
#include "forms/resource_header.h"

namespace reshape {

namespace {

constexpr std::size_t kHeaderRoom = 512;

}  // namespace

std::string CompileFormFile(std::string_view text, const FormRules& rules, ChangeSink& changes,
                            const OriginalValues* originals) {
  // The compiled form is about as large as the binary form the text came from; the header is
  // put in front within the reserved room, so the form is never held twice.
  std::string file;
  file.reserve(text.size() / 2 + kHeaderRoom);
  CompileFormStream(text, rules, changes, file, originals);
  if (!originals) {
    file.insert(0, ResourceHeader(file));
    return file;
  }
  const std::string_view original = originals->formFile;
  file.insert(0, ResourceHeaderFor(file, original, originals->streamAt, originals->streamEnd));
  file.append(original.substr(originals->streamEnd));
  return file;
}

void CompileFormStream(std::string_view text, const FormRules& rules, ChangeSink& changes,
                       std::string& out, const OriginalValues* originals) {
  FormCompilation compilation(text, out, rules, changes);
  if (originals) compilation.CopyValuesFrom(*originals);
  compilation.CompileRoot();
}

NestingLevel FormCompilation::Nest() {
  return NestingLevel(depth_, [this] { tokenizer_.Fail("Nesting too deep"); });
}

void FormCompilation::CompileRoot() {
  writer_->WriteFormSignature();
  CompileObject();
}

void FormCompilation::CompileObject() {
  const std::uint8_t flags = tokenizer_.IsKeyword("INHERITED") ? PrefixInherited
                             : tokenizer_.IsKeyword("INLINE")  ? PrefixInline
                                                               : 0;
  if (flags == 0) tokenizer_.ExpectKeyword("OBJECT");
  const std::size_t keywordAt = tokenizer_.TokenOffset();
  tokenizer_.Advance();
  CompileObjectAfterKeyword(flags, keywordAt);
}

// A property may carry the name of a keyword; "=" or a dotted part after it on its line tells.
// Taken for the keyword, it would end the list early and the rest of a root would be lost.
bool FormCompilation::IsPropertyName() const { return tokenizer_.IsFollowedOnItsLineBy("=."); }

bool FormCompilation::EndsPropertyList() const {
  return (tokenizer_.IsKeyword("END") || tokenizer_.IsKeyword("OBJECT") ||
          tokenizer_.IsKeyword("INHERITED")) &&
         !IsPropertyName();
}

void FormCompilation::CompileObjectAfterKeyword(std::uint8_t flags, std::size_t keywordAt) {
  NestingLevel level = Nest();
  ObjectFrame frame;
  frame.headerAt = keywordAt;
  frame_ = &frame;
  CompileHeader(flags, frame);
  bool inlineChildFollows = false;
  std::size_t nameAt = tokenizer_.TokenOffset();
  while (!EndsPropertyList()) {
    tokenizer_.Expect(TokIdentifier);
    nameAt = tokenizer_.TokenOffset();
    std::string first(tokenizer_.TokenText());
    // A property may be named Inline; as such it is followed by "=" or ".".
    const bool isInline = tokenizer_.IsKeyword("INLINE");
    if (tokenizer_.Advance() != '=' && tokenizer_.Token() != '.' && isInline) {
      inlineChildFollows = true;
      break;
    }
    if (frame.firstPropertyAt == std::string_view::npos) frame.firstPropertyAt = nameAt;
    CompileProperty(std::move(first), true, nameAt);
    nameAt = tokenizer_.TokenOffset();
  }
  std::vector<SetChange> changes;
  WriteSetConversions(*writer_, frame.conversions, frame.stated, tokenizer_,
                      edits_ ? &changes : nullptr);
  NoteSetChanges(changes, nameAt);
  writer_->WriteEndMarker();
  if (inlineChildFollows) CompileObjectAfterKeyword(PrefixInline, nameAt);
  while (!tokenizer_.IsKeyword("END")) CompileObject();
  writer_->WriteEndMarker();
  // The root's END is the last token read: whatever follows it is never looked at.
  if (depth_ > 1) tokenizer_.Advance();
}

void FormCompilation::CompileHeader(std::uint8_t flags, ObjectFrame& frame) {
  tokenizer_.Expect(TokIdentifier);
  std::size_t classAt = tokenizer_.TokenOffset();
  std::string className(tokenizer_.TokenText());
  std::string objectName;
  if (tokenizer_.Advance() == ':') {
    tokenizer_.Advance();
    tokenizer_.Expect(TokIdentifier);
    objectName = std::move(className);
    classAt = tokenizer_.TokenOffset();
    className = tokenizer_.TokenText();
    tokenizer_.Advance();
  }
  std::size_t positionAt = 0;
  std::int32_t position = ReadOrderModifier(positionAt);
  // -1 stands for "no position"; every other value, 0 included, orders the child.
  if (position != -1) flags |= PrefixChildPos;
  if (const ValueSpan* prefix = FindOriginal(frame.headerAt))
    WriteOriginal(*prefix);
  else
    writer_->WriteObjectPrefix(flags, position);
  if (const TCommand* rename = rules_.FindClassRename(className)) {
    if (edits_) edits_->Replace(classAt, className.size(), rename->NewClassName);
    className = rename->NewClassName;
    changes_.Add({*rename, ChangeKind::ClassRenamed, rename->ClassName, rename->NewClassName,
                  tokenizer_.Line()});
  }
  // A length byte of 240 or more would read back as an object prefix, and a name that is not
  // an identifier would not read back at all: the form stays as it was.
  if (className.size() >= kMaxClassNameLength) tokenizer_.Fail("Class name too long");
  if (!IsIdentifier(className)) tokenizer_.Fail("Class name expected");
  writer_->WriteShortString(className);
  writer_->WriteShortString(objectName);
  frame.className = std::move(className);
}

std::int32_t FormCompilation::ReadOrderModifier(std::size_t& valueAt) {
  if (tokenizer_.Token() != '[') return -1;
  tokenizer_.Advance();
  tokenizer_.Expect(TokInteger);
  valueAt = tokenizer_.TokenOffset();
  std::int32_t position = tokenizer_.TokenAsInteger();
  tokenizer_.Advance();
  tokenizer_.Expect(']');
  tokenizer_.Advance();
  return position;
}

// The path's first identifier, at nameAt in the text, has been read and advanced past.
void FormCompilation::CompileProperty(std::string path, bool own, std::size_t nameAt) {
  const int line = tokenizer_.Line();
  while (tokenizer_.Token() == '.') {
    tokenizer_.Advance();
    tokenizer_.Expect(TokIdentifier);
    path += '.';
    path += tokenizer_.TokenText();
    tokenizer_.Advance();
  }
  const std::size_t nameEnd = tokenizer_.PreviousTokenEnd();
  PropertyDecision decision;
  if (applyRules_) decision = DecideByName(rules_, frame_->className, path);
  if (decision.fate == PropertyFate::Rename) {
    changes_.Add({*decision.rule, ChangeKind::PropertyRenamed, decision.rule->PropName,
                   decision.rule->NewPropName, line});
    if (decision.rule->NewPropName.size() > kMaxNameLength ||
        !IsDottedIdentifier(decision.rule->NewPropName))
      tokenizer_.Fail("Property name expected");
    if (edits_) edits_->Replace(nameAt, nameEnd - nameAt, decision.rule->NewPropName);
    path = decision.rule->NewPropName;
  }
  tokenizer_.Expect('=');
  tokenizer_.Advance();
  if (decision.fate == PropertyFate::AskValue) return CompileAskedValue(path, own, nameAt, line);
  if (decision.fate == PropertyFate::Delete) {
    changes_.Add({*decision.rule, ChangeKind::PropertyDeleted, decision.rule->PropName, {}, line});
    SkipValue();
    return NoteRemoved(nameAt);
  }
  CompileStatedValue(path, own);
}

// A PSET rule names the property: its value, as the text conversion writes it, decides. Only
// a single value can equal a script value; lists, sets, collections and binary data never do.
void FormCompilation::CompileAskedValue(const std::string& path, bool own, std::size_t nameAt,
                                        int line) {
  ObjectFrame& frame = *frame_;
  const TokenKind first = tokenizer_.Token();
  const bool single = first == TokString || first == TokWideString || first == TokIdentifier ||
                      first == TokInteger || first == TokFloat;
  // A single value is compiled first, then taken back when the rules drop it.
  const std::size_t mark = writer_->Out().size();
  const std::size_t statedCount = frame.stated.size();
  std::optional<std::string> value;
  std::string alone;  // the single value compiled on its own
  const ValueSpan* original = nullptr;
  if (single) {
    WriteName(path, own);
    // The value is compared as its text compiles, as a text form's is; kept, it keeps its bytes.
    original = FindOriginal(tokenizer_.TokenOffset());
    FormWriter scratch(alone);
    FormWriter* writer = std::exchange(writer_, &scratch);
    const OriginalValues* originals = std::exchange(originals_, nullptr);
    CompileValue();
    writer_ = writer;
    originals_ = originals;
    value = ValueAsScriptText(alone);
  }
  const PropertyDecision decision = DecideByValue(rules_, frame.className, path, value);
  if (decision.fate == PropertyFate::Keep) {
    // A single value is never a set, so where it ends does not matter to conversions.
    if (!single) return CompileStatedValue(path, own);
    if (original) return WriteOriginal(*original);
    return writer_->WriteBytes(alone);
  }
  writer_->Out().resize(mark);
  frame.stated.resize(statedCount);
  if (decision.fate == PropertyFate::ToSetElement) {
    frame.conversions.push_back({decision.rule->NewPropName, decision.rule->SetValue});
    changes_.Add({*decision.rule, ChangeKind::SetConverted, {}, frame.className, line});
  } else {
    changes_.Add({*decision.rule, ChangeKind::PropertyDeleted, decision.rule->PropName, {}, line});
  }
  if (!single) SkipValue();
  NoteRemoved(nameAt);
}

// A kept property: its name and value, and where the value ends in the text.
void FormCompilation::CompileStatedValue(std::string_view name, bool own) {
  const std::size_t statedCount = frame_->stated.size();
  WriteName(name, own);
  StatedProperty* stated = statedCount < frame_->stated.size() ? &frame_->stated.back() : nullptr;
  if (stated && tokenizer_.Token() == '[') {
    stated->isSet = true;
    setElements_ = &stated->elements;
  }
  CompileValue();
  setElements_ = nullptr;
  if (stated) {
    stated->valueEnd = writer_->Out().size();
    stated->textValueEnd = tokenizer_.PreviousTokenEnd();
  }
}

void FormCompilation::NoteRemoved(std::size_t nameAt) {
  if (edits_)
    edits_->RemoveProperty(nameAt, tokenizer_.PreviousTokenEnd(), tokenizer_.TokenOffset());
}

// boundaryAt is the first token after the object's own property list.
void FormCompilation::NoteSetChanges(const std::vector<SetChange>& changes,
                                     std::size_t boundaryAt) {
  for (const SetChange& change : changes) {
    if (change.stated)
      edits_->ExtendSet(change.stated->textValueEnd - 1, change.elements);
    else
      edits_->InsertSetLine(boundaryAt, frame_->headerAt, frame_->firstPropertyAt, change.name,
                            change.elements);
  }
}

// Writes the property's name; a property of the object's own list is noted, for set
// conversions to find it.
void FormCompilation::WriteName(std::string_view name, bool own) {
  if (own && !rules_.SetConversions().empty()) frame_->stated.emplace_back().name = name;
  writer_->WriteShortString(name);
}

const ValueSpan* FormCompilation::FindOriginal(std::size_t textOffset) {
  if (!originals_) return nullptr;
  const std::vector<ValueSpan>& spans = originals_->spans;
  while (nextOriginal_ < spans.size() && spans[nextOriginal_].textOffset < textOffset)
    ++nextOriginal_;
  if (nextOriginal_ == spans.size() || spans[nextOriginal_].textOffset != textOffset)
    return nullptr;
  return &spans[nextOriginal_++];
}

void FormCompilation::WriteOriginal(const ValueSpan& span) {
  writer_->WriteBytes(originals_->formFile.substr(span.begin, span.end - span.begin));
}

// The value is read as usual, for its errors and its end, and its original bytes written.
bool FormCompilation::CopyOriginalValue(bool inList) {
  const ValueSpan* span = FindOriginal(tokenizer_.TokenOffset());
  if (!span) return false;
  const OriginalValues* originals = std::exchange(originals_, nullptr);
  SkipValue(inList);
  originals_ = originals;
  WriteOriginal(*span);
  return true;
}

// Consumes one value exactly as CompileValue does, with the same errors, and writes nothing.
void FormCompilation::SkipValue(bool inList) {
  FormWriter discard(out_.Out(), true);
  FormWriter* writer = std::exchange(writer_, &discard);
  const bool applyRules = std::exchange(applyRules_, false);
  CompileValue(inList);
  writer_ = writer;
  applyRules_ = applyRules;
}

}  // namespace reshape
