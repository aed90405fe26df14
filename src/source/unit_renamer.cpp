#include "source/unit_renamer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/ascii_case.h"
#include "source/word_scan.h"

namespace reshape {

namespace {

// The longest of the words that steer the unit pass: "INTERFACE" and "PROCEDURE".
constexpr std::size_t kLongestKeyword = 9;

// Which of the words that steer the unit pass a line holds, in any letter case. "BEGIN",
// "PROCEDURE", "FUNCTION", "TYPE", "CONST", "VAR", "INTERFACE" and "USES" end a uses clause;
// the line holding one is not part of it.
struct LineKeywords {
  bool usesEnd = false;
  bool uses = false;
  bool unit = false;
};

// One scan over the words, keeping none of them: a long line costs no copy.
LineKeywords FindKeywords(std::string_view line) {
  LineKeywords found;
  ScanSourceWords(line, [&found, line](std::size_t start, std::size_t length) {
    // Most words are ruled out by their length and first letter before any comparison.
    if (length < 3 || length > kLongestKeyword) return true;
    const std::string_view word = line.substr(start, length);
    const auto is = [word](std::string_view keyword) {
      return SameIgnoringAsciiCase(word, keyword);
    };
    switch (AsciiUpper(word[0])) {
      case 'B': found.usesEnd |= is("BEGIN"); break;
      case 'C': found.usesEnd |= is("CONST"); break;
      case 'F': found.usesEnd |= is("FUNCTION"); break;
      case 'I': found.usesEnd |= is("INTERFACE"); break;
      case 'P': found.usesEnd |= is("PROCEDURE"); break;
      case 'T': found.usesEnd |= is("TYPE"); break;
      case 'V': found.usesEnd |= is("VAR"); break;
      case 'U':
        if (is("USES")) found.usesEnd = found.uses = true;
        if (is("UNIT")) found.unit = true;
        break;
      default: break;
    }
    return true;
  });
  return found;
}

// Where "uses" or "unit" next stands in the text from `from` on, in any letter case, also
// inside a longer word (npos: nowhere): outside a uses clause only a line that holds one of
// them can matter. Thirty-two places are tested per step for "us" and "un" where the processor
// allows, with one branch, which rules out most of the many "u"s of a text ("True", "Result").
std::size_t NextUsesOrUnit(std::string_view text, std::size_t from) {
  const auto isKeyword = [text](std::size_t at) {
    const std::string_view four = text.substr(at, 4);
    return SameIgnoringAsciiCase(four, "USES") || SameIgnoringAsciiCase(four, "UNIT");
  };
  std::size_t at = from;
#ifdef __SSE2__
  const auto folded = [text](std::size_t offset) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + offset));
    return _mm_or_si128(bytes, _mm_set1_epi8(0x20));
  };
  const auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
  const auto starts = [&](std::size_t offset) {
    const __m128i second = folded(offset + 1);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_and_si128(
        is(folded(offset), 'u'), _mm_or_si128(is(second, 's'), is(second, 'n')))));
  };
  // The second block's last place reads one byte beyond it.
  for (; at + 33 <= text.size(); at += 32) {
    for (std::uint32_t found = starts(at) | starts(at + 16) << 16; found != 0; found &= found - 1) {
      const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(found));
      if (isKeyword(candidate)) return candidate;
    }
  }
#endif
  for (; at + 4 <= text.size(); ++at)
    if (isKeyword(at)) return at;
  return std::string_view::npos;
}

WholeWordRenames RenameIndex(const std::vector<const TCommand*>& commands) {
  std::vector<WholeWordRenames::Rename> renames;
  for (const TCommand* command : commands)
    renames.push_back({command->UnitName, command->NewUnitName});
  return WholeWordRenames(std::move(renames), WholeWordRenames::Names::DottedNames);
}

}  // namespace

UnitRenameRules::UnitRenameRules(const CommandList& commands, CodePage page)
    : codePage(page),
      unitRenames(CommandsOfKind(commands, CommandKind::RENU)),
      unitRenameIndex(RenameIndex(unitRenames)) {
  std::vector<std::string_view> names;
  for (const TCommand* command : unitRenames) names.push_back(command->UnitName);
  unitNameFinders = FewNameFinders(names);
}

void UnitLineTransform::TransformLine(std::string& line) {
  const LineKeywords words = FindKeywords(line);
  const bool unitLine = !inUsesClause_ && !words.uses && words.unit;
  inUsesClause_ = inUsesClause_ ? !words.usesEnd : words.uses;
  if (!inUsesClause_ && !unitLine) return;
  for (const auto& [rename, count] : rules_.unitRenameIndex.Apply(line)) {
    const TCommand& command = *rules_.unitRenames[rename];
    for (std::size_t n = 0; n < count; ++n)
      Changed(command, ChangeKind::UnitRenamed, command.UnitName, command.NewUnitName);
  }
}

void UnitLineTransform::TransformLineOf(std::string& line, std::string_view text,
                                        std::size_t offset) {
  const std::size_t end = offset + line.size();
  TransformLine(line);
  // A name is renamed only where it stands as it is: once none stands in the rest, the state of
  // the clauses no longer matters.
  if (NextName(text, end) == std::string_view::npos) {
    quietUntil_ = std::string_view::npos;
    return;
  }
  quietUntil_ = 0;
  if (inUsesClause_) return;
  if (nextKeyword_ < end) nextKeyword_ = NextUsesOrUnit(text, end);
  quietUntil_ = nextKeyword_;
}

std::size_t UnitLineTransform::NextName(std::string_view text, std::size_t from) {
  const std::vector<SubstringFinder>& finders = rules_.unitNameFinders;
  if (finders.empty()) return from;
  if (nameHits_.empty()) nameHits_.resize(finders.size());
  std::size_t next = std::string_view::npos;
  for (std::size_t i = 0; i < finders.size(); ++i)
    next = std::min(next, nameHits_[i].From(finders[i], text, from));
  return next;
}

}  // namespace reshape
