#include "source/pascal_clauses.h"

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "base/ascii_case.h"
#include "base/byte_block.h"
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

#ifdef RESHAPE_BYTE_BLOCKS
// The places among the thirty-two from `at` on where a comment may start ("{", "(*", "//") or
// the first two letters of one of kKeywords stand (ASCII case ignored), as bits. Reads one
// byte beyond them. The keywords are fixed at compile time, so that their bytes are set up
// once, outside the caller's loop.
template <ClauseKeywords kKeywords>
std::uint32_t CandidatePlaces(const char* data) {
  const auto is = [](ByteBlock bytes, char c) { return BytesEqual(bytes, RepeatByte(c)); };
  const auto places = [&](const char* at) {
    const ByteBlock bytes = LoadBlock(at);
    const ByteBlock next = LoadBlock(at + 1);
    const ByteBlock folded = BlockOr(bytes, RepeatByte(0x20));
    const ByteBlock nextFolded = BlockOr(next, RepeatByte(0x20));
    ByteBlock found = BlockOr(is(bytes, '{'), BlockOr(BlockAnd(is(bytes, '('), is(next, '*')),
                                                      BlockAnd(is(bytes, '/'), is(next, '/'))));
    if constexpr (kKeywords == ClauseKeywords::Requires) {
      found = BlockOr(found, BlockAnd(is(folded, 'r'), is(nextFolded, 'e')));
    } else {
      // "uses" and "unit"; "contains" in packages.
      found = BlockOr(found, BlockAnd(is(folded, 'u'),
                                      BlockOr(is(nextFolded, 's'), is(nextFolded, 'n'))));
      if constexpr (kKeywords == ClauseKeywords::Package)
        found = BlockOr(found, BlockAnd(is(folded, 'c'), is(nextFolded, 'o')));
    }
    return static_cast<std::uint32_t>(TopBits(found));
  };
  return places(data) | places(data + 16) << 16;
}

// The first such place from `at` on while thirty-two places and one byte remain, or kNone;
// `at` is left where the blocks end.
template <ClauseKeywords kKeywords>
std::size_t NextCandidateInBlocks(std::string_view text, std::size_t& at) {
  for (; at + 33 <= text.size(); at += 32)
    if (const std::uint32_t found = CandidatePlaces<kKeywords>(text.data() + at); found != 0)
      return at + static_cast<std::size_t>(std::countr_zero(found));
  return kNone;
}
#endif

class ClauseScanner {
 public:
  ClauseScanner(std::string_view text, std::size_t from, CodePage codePage,
                ClauseKeywords keywords, std::size_t limit,
                const std::function<void(std::size_t, std::size_t)>& visit)
      : text_(text),
        tokens_(text, codePage, from),
        kind_(keywords),
        from_(from),
        limit_(limit),
        visit_(visit) {
    switch (keywords) {
      case ClauseKeywords::Units: keywords_ = kUnitKeywords; break;
      case ClauseKeywords::Package: keywords_ = kPackageKeywords; break;
      case ClauseKeywords::Requires: keywords_ = kRequiresKeywords; break;
    }
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
  bool IsKeywordPairAt(std::size_t at) const {
    if (at + 1 >= text_.size()) return false;
    for (std::size_t i = 0; i < pairCount_; ++i)
      if (AsciiUpper(text_[at]) == pairs_[i][0] && AsciiUpper(text_[at + 1]) == pairs_[i][1])
        return true;
    return false;
  }

  bool IsCommentAt(std::size_t at) const {
    const char next = at + 1 < text_.size() ? text_[at + 1] : '\0';
    return text_[at] == '{' || (text_[at] == '(' && next == '*') || (text_[at] == '/' && next == '/');
  }

  // The first position from `at` on where a comment or directive may start ("{", "(*",
  // "//") or the first two letters of a keyword stand. Strings are not looked for: they end
  // with their line, so whether a place is in one is told from its line alone
  // (StringStartBefore).
  std::size_t NextCandidate(std::size_t at) const {
#ifdef RESHAPE_BYTE_BLOCKS
    std::size_t found = kNone;
    using enum ClauseKeywords;
    switch (kind_) {
      case Units: found = NextCandidateInBlocks<Units>(text_, at); break;
      case Package: found = NextCandidateInBlocks<Package>(text_, at); break;
      case Requires: found = NextCandidateInBlocks<Requires>(text_, at); break;
    }
    if (found != kNone) return found;
#endif
    for (; at < text_.size(); ++at)
      if (IsCommentAt(at) || IsKeywordPairAt(at)) return at;
    return text_.size();
  }

  // Where the string that holds `at` starts, or kNone when `at` is in code. The line of `at`
  // is code at its start, or from codeFrom_ on where that is later: its quotes open and close
  // strings. Most comments stand first in their line and need no more than a look at the
  // blanks before them.
  std::size_t StringStartBefore(std::size_t at) const {
    std::size_t first = at;
    while (first > codeFrom_ && static_cast<unsigned char>(text_[first - 1]) <= 0x20 &&
           text_[first - 1] != '\n' && text_[first - 1] != '\r')
      --first;
    if (first == codeFrom_ || text_[first - 1] == '\n' || text_[first - 1] == '\r') return kNone;
    std::string_view line = text_.substr(codeFrom_, first - codeFrom_);
    if (const std::size_t lineEnd = line.find_last_of("\r\n"); lineEnd != std::string_view::npos)
      line.remove_prefix(lineEnd + 1);
    std::size_t open = kNone;
    for (std::size_t quote = line.find('\''); quote != kNone; quote = line.find('\'', quote + 1))
      open = open == kNone ? quote : kNone;
    return open == kNone ? kNone : first - line.size() + open;
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
    codeFrom_ = at;
    while ((at = NextCandidate(at)) < size) {
      if (IsCommentAt(at)) {
        if (const std::size_t string = StringStartBefore(at); string != kNone) {
          at = codeFrom_ = tokens_.StringEnd(string);
          continue;
        }
        const std::size_t end = text_[at] == '{'   ? tokens_.BraceEnd(at)
                                : text_[at] == '(' ? tokens_.ParenStarEnd(at)
                                                   : tokens_.LineCommentEnd(at);
        NoteGap(at, end);
        at = codeFrom_ = end;
        continue;
      }
      // Two letters of a keyword: it counts where a whole name starts, not after "." or
      // inside a number or character code, and not in a string.
      const char before = at > from_ ? text_[at - 1] : ' ';
      if (IsIdentifierByte(before) || before == '$' || before == '#' || before == '.' ||
          !IsKeywordPairAt(at)) {
        ++at;
        continue;
      }
      std::size_t end = at;
      while (end < size && IsIdentifierByte(text_[end])) ++end;
      const bool dotted = end + 1 < size && text_[end] == '.' && IsIdentifierByte(text_[end + 1]) &&
                          !(text_[end + 1] >= '0' && text_[end + 1] <= '9');
      const Keyword* keyword = dotted ? nullptr : KeywordOf(at, end);
      if (keyword == nullptr) {
        at = end;
        continue;
      }
      if (const std::size_t string = StringStartBefore(at); string != kNone) {
        at = codeFrom_ = tokens_.StringEnd(string);
        continue;
      }
      codeFrom_ = at;
      const std::size_t code = CodeEndBefore(at);
      if (code == from_ || text_[code - 1] != '.') {
        keywordStart_ = at;
        keywordEnd_ = end;
        return keyword;
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
    if (token.kind == PascalTokenKind::Name && !IsIn(token)) visit_(token.start, token.end - token.start);
  }

  // "in" follows a name in a clause ("A in 'a.pas'"); it never names a unit.
  bool IsIn(const PascalToken& token) const {
    return SameIgnoringAsciiCase(text_.substr(token.start, token.end - token.start), "in");
  }

  void Clause() {
    std::vector<Block> blocks;
    bool active = true;  // the text read now is clause text
    for (PascalToken token = tokens_.Next(); token.kind != PascalTokenKind::End;
         token = tokens_.Next()) {
      if (token.start >= limit_) return;
      switch (token.kind) {
        case PascalTokenKind::Name:
          if (active && !IsIn(token)) visit_(token.start, token.end - token.start);
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
  ClauseKeywords kind_;
  std::size_t from_;  // where the text is read from: no byte before it counts
  std::size_t limit_;
  const std::function<void(std::size_t, std::size_t)>& visit_;
  std::span<const Keyword> keywords_;
  std::size_t codeFrom_ = 0;  // a place in code, at or before the current one, after any string
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
