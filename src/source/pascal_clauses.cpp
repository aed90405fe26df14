#include "source/pascal_clauses.h"

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/ascii_case.h"
#include "source/pascal_tokens.h"

namespace reshape {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

struct Keyword {
  std::string_view word;  // upper case
  bool heading;           // lists the one name after it, not a clause
};

constexpr Keyword kUnitKeywords[] = {{"USES", false}, {"UNIT", true}};
constexpr Keyword kPackageKeywords[] = {{"USES", false}, {"UNIT", true}, {"CONTAINS", false}};
constexpr Keyword kRequiresKeywords[] = {{"REQUIRES", false}};

// A conditional block opened within a clause.
struct Block {
  bool inert = false;        // opened where the clause had ended: none of its text is clause text
  bool branchEnded = false;  // the current branch holds the clause's ";"
  bool allEnded = true;      // every earlier branch held one
  bool hasElse = false;
};

class ClauseScanner {
 public:
  ClauseScanner(std::string_view text, std::size_t from, CodePage codePage,
                ClauseKeywords keywords, std::size_t limit,
                const std::function<void(std::size_t, std::size_t)>& visit)
      : text_(text), tokens_(text, codePage, from), from_(from), limit_(limit), visit_(visit) {
    switch (keywords) {
      case ClauseKeywords::Units: keywords_ = kUnitKeywords; break;
      case ClauseKeywords::Package: keywords_ = kPackageKeywords; break;
      case ClauseKeywords::Requires: keywords_ = kRequiresKeywords; break;
    }
    for (const char c : {'{', '(', '/', '\''}) special_[static_cast<unsigned char>(c)] = true;
    for (const Keyword& keyword : keywords_) {
      const char first = keyword.word[0];
      const char second = keyword.word[1];
      bool known = false;
      for (std::size_t i = 0; i < pairCount_; ++i)
        known |= pairs_[i][0] == first && pairs_[i][1] == second;
      if (!known) pairs_[pairCount_++] = {first, second};
    }
  }

  void Run() {
    while (tokens_.Position() < limit_) {
      const Keyword* keyword = tokens_.DoubleByte() ? NextKeywordByTokens() : NextKeyword();
      if (keyword == nullptr || keywordStart_ >= limit_) return;
      tokens_.MoveTo(keywordEnd_);
      keyword->heading ? Heading() : Clause();
      gapEnd_ = kNone;
    }
  }

 private:
  bool IsPairAt(std::size_t at) const {
    if (at + 1 >= text_.size()) return false;
    for (std::size_t i = 0; i < pairCount_; ++i)
      if (AsciiUpper(text_[at]) == pairs_[i][0] && AsciiUpper(text_[at + 1]) == pairs_[i][1])
        return true;
    return false;
  }

  // The first position from `at` on that may matter in code: the start of a comment, directive
  // or string, or the first two letters of a keyword. Sixteen places are tested per step where
  // the processor allows.
  std::size_t NextCandidate(std::size_t at) const {
    const std::size_t size = text_.size();
#ifdef __SSE2__
    const auto load = [this](std::size_t offset) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text_.data() + offset));
    };
    const auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
    const __m128i fold = _mm_set1_epi8(0x20);
    for (; at + 17 <= size; at += 16) {
      const __m128i bytes = load(at);
      __m128i found = _mm_or_si128(_mm_or_si128(is(bytes, '{'), is(bytes, '(')),
                                   _mm_or_si128(is(bytes, '/'), is(bytes, '\'')));
      const __m128i folded = _mm_or_si128(bytes, fold);
      const __m128i nextFolded = _mm_or_si128(load(at + 1), fold);
      for (std::size_t i = 0; i < pairCount_; ++i)
        found = _mm_or_si128(found, _mm_and_si128(is(folded, static_cast<char>(pairs_[i][0] | 0x20)),
                                                  is(nextFolded, static_cast<char>(pairs_[i][1] | 0x20))));
      if (const int mask = _mm_movemask_epi8(found); mask != 0)
        return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    for (; at < size; ++at)
      if (special_[static_cast<unsigned char>(text_[at])] || IsPairAt(at)) return at;
    return size;
  }

  // The keyword among keywords_ that the whole name at start..end spells, if any.
  const Keyword* KeywordOf(std::size_t start, std::size_t end) const {
    const std::string_view word = text_.substr(start, end - start);
    for (const Keyword& keyword : keywords_)
      if (SameIgnoringAsciiCase(word, keyword.word)) return &keyword;
    return nullptr;
  }

  // Notes a comment or directive from start to end in code, so that a keyword after it can
  // tell what code stands before it.
  void NoteGap(std::size_t start, std::size_t end) {
    gapBefore_ = CodeEndBefore(start);
    gapEnd_ = end;
  }

  // Where the code before `at` ends: blanks and the comments noted just before are passed over.
  std::size_t CodeEndBefore(std::size_t at) const {
    while (at > from_ && static_cast<unsigned char>(text_[at - 1]) <= 0x20) --at;
    return at == gapEnd_ ? gapBefore_ : at;
  }

  // The next keyword in code, found by skipping to the places that may matter (single-byte
  // code pages). Sets keywordStart_ and keywordEnd_.
  const Keyword* NextKeyword() {
    const std::size_t size = text_.size();
    std::size_t at = tokens_.Position();
    while ((at = NextCandidate(at)) < size) {
      const char c = text_[at];
      const char next = at + 1 < size ? text_[at + 1] : '\0';
      if (c == '{' || (c == '(' && next == '*') || (c == '/' && next == '/')) {
        const std::size_t end = c == '{'   ? tokens_.BraceEnd(at)
                                : c == '(' ? tokens_.ParenStarEnd(at)
                                           : tokens_.LineCommentEnd(at);
        NoteGap(at, end);
        at = end;
        continue;
      }
      if (c == '\'') {
        at = tokens_.StringEnd(at);
        continue;
      }
      if (c == '(' || c == '/') {
        ++at;
        continue;
      }
      // Two letters of a keyword: it counts where a whole name starts, not after "." or
      // inside a number or character code.
      const char before = at > from_ ? text_[at - 1] : ' ';
      if (IsIdentifierByte(before) || before == '$' || before == '#' || before == '.') {
        ++at;
        continue;
      }
      std::size_t end = at;
      while (end < size && IsIdentifierByte(text_[end])) ++end;
      const bool dotted = end + 1 < size && text_[end] == '.' && IsIdentifierByte(text_[end + 1]) &&
                          !(text_[end + 1] >= '0' && text_[end + 1] <= '9');
      const Keyword* keyword = dotted ? nullptr : KeywordOf(at, end);
      if (keyword != nullptr) {
        const std::size_t code = CodeEndBefore(at);
        if (code == from_ || text_[code - 1] != '.') {
          keywordStart_ = at;
          keywordEnd_ = end;
          return keyword;
        }
      }
      at = end;
    }
    tokens_.MoveTo(size);
    return nullptr;
  }

  // The same, token by token (double-byte code pages, where a byte may be the second half of
  // a character).
  const Keyword* NextKeywordByTokens() {
    bool afterDot = false;
    for (PascalToken token = tokens_.Next(); token.kind != PascalTokenKind::End;
         token = tokens_.Next()) {
      if (token.kind == PascalTokenKind::Comment || token.kind == PascalTokenKind::Directive)
        continue;
      if (token.kind == PascalTokenKind::Name && !afterDot)
        if (const Keyword* keyword = KeywordOf(token.start, token.end)) {
          keywordStart_ = token.start;
          keywordEnd_ = token.end;
          return keyword;
        }
      afterDot = token.kind == PascalTokenKind::Symbol && text_[token.start] == '.';
    }
    return nullptr;
  }

  void Heading() {
    PascalToken token = tokens_.Next();
    while (token.kind == PascalTokenKind::Comment || token.kind == PascalTokenKind::Directive)
      token = tokens_.Next();
    if (token.kind == PascalTokenKind::Name) visit_(token.start, token.end - token.start);
  }

  void Clause() {
    std::vector<Block> blocks;
    bool active = true;  // the text read now is clause text
    for (PascalToken token = tokens_.Next(); token.kind != PascalTokenKind::End;
         token = tokens_.Next()) {
      if (token.start >= limit_) return;
      switch (token.kind) {
        case PascalTokenKind::Name:
          if (active && !SameIgnoringAsciiCase(text_.substr(token.start, token.end - token.start), "in"))
            visit_(token.start, token.end - token.start);
          break;
        case PascalTokenKind::Symbol:
          if (!active || text_[token.start] != ';') break;
          if (blocks.empty()) return;
          blocks.back().branchEnded = true;
          active = false;
          break;
        case PascalTokenKind::Directive:
          switch (DirectiveRoleOf(text_.substr(token.start, token.end - token.start))) {
            case DirectiveRole::Open: blocks.push_back({.inert = !active}); break;
            case DirectiveRole::Branch:
              if (blocks.empty() || blocks.back().inert) break;
              blocks.back().allEnded &= blocks.back().branchEnded;
              blocks.back().branchEnded = false;
              blocks.back().hasElse = true;
              active = true;
              break;
            case DirectiveRole::Close: {
              if (blocks.empty()) break;
              const Block block = blocks.back();
              blocks.pop_back();
              if (block.inert) break;
              // Every way through the block met the clause's ";": the clause ends with it.
              if (!(block.allEnded && block.branchEnded && block.hasElse)) {
                active = true;
                break;
              }
              if (blocks.empty()) return;
              blocks.back().branchEnded = true;
              active = false;
              break;
            }
            case DirectiveRole::Other: break;
          }
          break;
        default: break;
      }
    }
  }

  std::string_view text_;
  PascalTokenizer tokens_;
  std::size_t from_;  // where the text is read from: no byte before it counts
  std::size_t limit_;
  const std::function<void(std::size_t, std::size_t)>& visit_;
  std::span<const Keyword> keywords_;
  std::array<bool, 256> special_{};
  std::array<std::array<char, 2>, 3> pairs_{};
  std::size_t pairCount_ = 0;
  std::size_t keywordStart_ = 0;
  std::size_t keywordEnd_ = 0;
  // The last comment or directive noted in code and where the code before it ends.
  std::size_t gapEnd_ = kNone;
  std::size_t gapBefore_ = 0;
};

}  // namespace

void FindClauseNames(std::string_view text, std::size_t from, CodePage codePage,
                     ClauseKeywords keywords, std::size_t limit,
                     const std::function<void(std::size_t start, std::size_t length)>& visit) {
  ClauseScanner(text, from, codePage, keywords, limit, visit).Run();
}

}  // namespace reshape
