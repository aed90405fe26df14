// Fuzzes the line transforms of the source and project passes over arbitrary file bytes,
// with a fixed set of commands and with commands taken from the input; and checks that a script
// without chains, made from the same bytes, changes nothing in a second run over its result.
//
// Input: one options byte (bit 0: double-byte code page, bits 1-2: which one), one length byte
// N, N bytes of script text (ignored when it does not parse), then the file's bytes.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "base/ascii_case.h"
#include "script/script_reader.h"
#include "source/project_renamer.h"
#include "source/source_renamer.h"
#include "source/text_lines.h"

using namespace reshape;

namespace {

// Renames that grow, shrink, chain, touch a double-byte lead byte, a NUL, the end-of-text mark
// and the delimiters, so that every transform has work on ordinary sources too.
constexpr std::string_view kFixedScript =
    "RENC>TForm,TMainForm\r\n"
    "RENC>TMainForm,TForm\r\n"
    "RENC>TButton,TBitBtnWithAVeryLongNameIndeed\r\n"
    "RENC>T,X\r\n"
    "RENS>Caption,Text\r\n"
    "RENS>a,aa\r\n"
    "RENS>''',\"\r\n"
    "RENS>\x82\xA0,ok\r\n"
    "RENS>(*,{\r\n"
    "RENS>end,\x1A\r\n"
    "RENU>SysUtils,System.SysUtils\r\n"
    "RENU>Forms,\r\n"
    "RENU>uses,Classes\r\n"
    "PKGR>gui,guinew\r\n"
    "PKGR>.bpl,\r\n"
    "PKGR>x,xx\r\n";

constexpr std::array<int, 4> kDoubleByteCodePages = {932, 936, 949, 950};

// The rewritten text, changed or not; "no change" must be said exactly when the bytes stay.
std::string Rewritten(std::string_view file, LineTransform& transform) {
  const std::optional<std::string> result = RewriteText(file, transform);
  fuzz::Check(!result || *result != file, "a rewrite that gives the same bytes is called a change");
  return result ? *result : std::string(file);
}

class IdentityTransform : public LineTransform {
 public:
  void TransformLine(std::string&) override {}
};

// Asks for the number of every other line (so that the count runs over skipped lines too) and
// checks it against its own count of the lines it is handed.
class NumberingTransform : public LineTransform {
 public:
  void TransformLine(std::string&) override {
    if (++lines_ % 2 == 0) fuzz::Check(CurrentLineNumber() == lines_, "wrong line number");
  }

 private:
  int lines_ = 0;
};

// The source pass's line transform done the plain way, to check the indexed one against: each
// word of the line as it was before any command renamed by the first command in script order
// that names it, the line rebuilt from its pieces; a string's occurrences listed position by
// position, then replaced one by one, the guard asked of the line as it then stands.
class PlainSourceTransform : public LineTransform {
 public:
  PlainSourceTransform(const CommandList& commands, CodePage codePage)
      : commands_(commands), codePage_(codePage) {}

  void TransformLine(std::string& line) override {
    RenameWords(line);
    for (const TCommand& command : commands_)
      if (command.Kind == CommandKind::RENS) ReplaceText(line, command.OldString, command.NewString);
  }

 private:
  void ReplaceText(std::string& line, std::string_view oldText, std::string_view newText) const {
    const std::string upper = AsciiUpperCase(line.substr(0, line.find('\0')));
    const std::string key = AsciiUpperCase(oldText);
    if (key.empty()) return;
    std::vector<std::size_t> starts;
    std::size_t characterStart = 0;
    for (std::size_t p = 0; p + key.size() <= upper.size(); ++p) {
      while (characterStart < p)
        characterStart += codePage_.IsLeadByte(static_cast<unsigned char>(line[characterStart])) ? 2 : 1;
      if (characterStart != p || upper.compare(p, key.size(), key) != 0) continue;
      starts.push_back(p);
      p += key.size() - 1;
    }
    std::size_t grown = 0;  // new text put in minus old text taken out, before the occurrence
    for (std::size_t start : starts) {
      const std::size_t p = start + grown;
      const std::size_t quote = line.find('\''), brace = line.find('{'), comment = line.find("(*");
      if (quote != std::string::npos && brace != std::string::npos && comment != std::string::npos &&
          quote >= p && brace >= p && comment >= p)
        continue;
      line.replace(p, key.size(), newText);
      grown += newText.size() - key.size();
    }
  }

  // Cuts the line into alternating gaps and words (gap, word, gap, ..., gap), renames words in
  // place and joins the pieces again.
  void RenameWords(std::string& line) const {
    static constexpr std::string_view kDelimiters = " ,.;-+/*()^=:[]\t<>&!|~?%@{}";
    std::vector<std::string> pieces(1);
    for (char c : line) {
      const bool delimiter = kDelimiters.find(c) != std::string_view::npos;
      if (delimiter != (pieces.size() % 2 == 1)) pieces.emplace_back();
      pieces.back() += c;
    }
    for (std::size_t i = 1; i < pieces.size(); i += 2) {
      for (const TCommand& command : commands_) {
        if (command.Kind != CommandKind::RENC ||
            AsciiUpperCase(pieces[i]) != AsciiUpperCase(command.ClassName))
          continue;
        pieces[i] = command.NewClassName;
        break;
      }
    }
    line.clear();
    for (const std::string& piece : pieces) line += piece;
  }

  const CommandList& commands_;
  CodePage codePage_;
};

// The line breaks of a text in order: 'n' for LF, 'r' for a lone CR, 'b' for CR LF.
std::string Breaks(std::string_view text) {
  std::string breaks;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      breaks += 'n';
    } else if (text[i] == '\r') {
      const bool crLf = i + 1 < text.size() && text[i + 1] == '\n';
      breaks += crLf ? 'b' : 'r';
      i += crLf;
    }
  }
  return breaks;
}

template <typename Transform>
void RewriteWith(const CommandList& commands, CodePage codePage, std::string_view file) {
  fuzz::NullSink changes;
  std::string rewritten;
  if (!fuzz::Accepts([&] {
        typename Transform::Rules rules(commands, codePage);
        Transform transform(rules, changes);
        rewritten = Rewritten(file, transform);
      }))
    return;
  // Names never hold a line break, so the rewritten file has exactly the lines of the
  // original, each with its own break, and the bytes from the end-of-text mark on as they were.
  const std::string_view tail = file.substr(std::min(file.find('\x1A'), file.size()));
  fuzz::Check(rewritten.ends_with(tail), "bytes from the end-of-text mark on lost");
  const std::string_view lines = std::string_view(rewritten).substr(0, rewritten.size() - tail.size());
  const std::string_view before = file.substr(0, file.size() - tail.size());
  fuzz::Check(Breaks(lines) == Breaks(before), "rewriting changed a line break");
  fuzz::Check(lines.ends_with('\n') == before.ends_with('\n') &&
                  lines.ends_with('\r') == before.ends_with('\r'),
              "rewriting changed the break of the last line");
}

// A script without chains from the bytes of seed, three a command: old names and texts of bytes
// that no new one holds, new ones never empty and without delimiters or literal markers, so
// nothing a command puts in can make or complete an old name or text.
CommandList ChainFreeScript(std::string_view seed) {
  static constexpr std::string_view kOldNames = "abcTo";
  static constexpr std::string_view kOldTexts = "abcTo .<\t";
  static constexpr std::string_view kNew = "xyzNW_";
  std::string script;
  for (std::size_t i = 0; i + 2 < seed.size(); i += 3) {
    const auto kind = static_cast<unsigned char>(seed[i]) % 3;
    const auto old = static_cast<unsigned char>(seed[i + 1]);
    const auto next = static_cast<unsigned char>(seed[i + 2]);
    const std::string_view alphabet = kind == 0 ? kOldNames : kOldTexts;
    script += kind == 0 ? "RENC>" : kind == 1 ? "RENS>" : "PKGR>";
    for (unsigned j = 0; j <= old % 3u; ++j) script += alphabet[(old >> (2 + j)) % alphabet.size()];
    script += ',';
    for (unsigned j = 0; j <= next % 3u; ++j) script += kNew[(next >> (2 + j)) % kNew.size()];
    script += "\r\n";
  }
  return ParseScript(script);
}

template <typename Transform>
void SecondRunChangesNothing(const CommandList& commands, CodePage codePage, std::string_view file) {
  fuzz::NullSink changes;
  typename Transform::Rules rules(commands, codePage);
  Transform first(rules, changes);
  const std::string once = Rewritten(file, first);
  Transform second(rules, changes);
  fuzz::CheckSameText(once, Rewritten(once, second), "a script without chains changed its own result");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t options = data[0];
  const std::size_t scriptLength = std::min<std::size_t>(data[1], size - 2);
  std::string_view script = fuzz::AsText(data + 2, scriptLength);
  std::string_view file = fuzz::AsText(data + 2 + scriptLength, size - 2 - scriptLength);
  CodePage codePage = (options & 1) ? CodePage(kDoubleByteCodePages[(options >> 1) & 3])
                                    : CodePage(1252);

  // A text in which no line changes comes back byte for byte.
  IdentityTransform identity;
  fuzz::Check(!RewriteText(file, identity), "a text with no line changed is not kept as it was");
  NumberingTransform numbering;
  RewriteText(file, numbering);

  CommandList commands = ParseScript(kFixedScript);
  CommandList fromInput;
  if (fuzz::Accepts([&] { fromInput = ParseScript(script); }))
    commands.insert(commands.end(), fromInput.begin(), fromInput.end());

  RewriteWith<SourceLineTransform>(commands, codePage, file);
  {
    fuzz::NullSink changes;
    SourceRenameRules rules(commands, codePage);
    SourceLineTransform indexed(rules, changes);
    PlainSourceTransform reference(commands, codePage);
    fuzz::CheckSameText(Rewritten(file, reference), Rewritten(file, indexed),
                        "indexed source renames differ from the plain ones");
  }
  RewriteWith<ProjectLineTransform>(commands, codePage, file);

  const CommandList chainFree = ChainFreeScript(script);
  SecondRunChangesNothing<SourceLineTransform>(chainFree, codePage, file);
  SecondRunChangesNothing<ProjectLineTransform>(chainFree, codePage, file);
  return 0;
}
