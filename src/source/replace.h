// The text replacement of the source rewriters (RENS, PKGR): a piece of text anywhere in the
// line, ASCII letter case ignored, every occurrence. Whole names: word_renames.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"

namespace reshape {

// The search of ReplaceSubstring for one text, prepared once so that it can be used on many
// lines without further allocation.
class SubstringFinder {
 public:
  SubstringFinder(std::string_view oldText, CodePage codePage);

  // The first occurrence of the text in text ignoring ASCII letter case that starts a
  // character, in time linear in both lengths; npos when there is none.
  std::size_t Find(std::string_view text) const;
  std::size_t Length() const { return upperKey_.size(); }

  // The occurrences in one text, left to right, each found behind the one before it (none
  // overlap), in time linear in the text's and the key's lengths for all of them together.
  // Once an occurrence is returned, the bytes before its end are no longer read.
  class Occurrences {
   public:
    Occurrences(const SubstringFinder& finder, std::string_view text);
    // The next occurrence; npos when there is none.
    std::size_t Next();

   private:
    bool StartsCharacter(std::size_t position);
    const SubstringFinder& finder_;
    std::string_view text_;
    std::size_t from_ = 0;
    std::size_t budget_;  // bytes the search by rare bytes may still compare, then the linear one
    std::size_t character_ = 0;  // the walk over double-byte characters has reached it
  };

 private:
  std::string upperKey_;
  std::vector<std::size_t> border_;  // prefix function of upperKey_
  // The positions in the key of the two bytes a search tests first: the rarest and the next.
  std::size_t pairFirst_ = 0;
  std::size_t pairSecond_ = 0;
  CodePage codePage_;
};

// Where a text occurs next in a file's whole text, searched for again only once the line being
// transformed lies behind the occurrence found last.
class NextOccurrence {
 public:
  // The first occurrence at or after `from` (npos: none).
  std::size_t From(const SubstringFinder& finder, std::string_view text, std::size_t from);
  // True when the text occurs between offset and end, the bounds of the current line.
  bool Within(const SubstringFinder& finder, std::string_view text, std::size_t offset,
              std::size_t end) {
    const std::size_t at = From(finder, text, offset);
    return at != std::string_view::npos && at + finder.Length() <= end;
  }

 private:
  bool searched_ = false;
  std::size_t at_ = 0;
};

// Finders for a few names to search whole texts for, single-byte, which finds every place a
// name could stand whatever the code page; none for more than four names, where scanning the
// words costs less, or when a name holds a line break (an occurrence must lie in one line).
std::vector<SubstringFinder> FewNameFinders(const std::vector<std::string_view>& names);

// ReplaceSubstring with a prepared search for oldText.
std::size_t ReplaceSubstring(std::string& line, const SubstringFinder& oldText,
                             std::string_view newText, bool useLiteralGuard);

// Replaces every occurrence of oldText in line (up to its first NUL), found left to right, none
// overlapping another, by newText; a replacement is never searched again. An occurrence starting
// on the second byte of a double-byte character is passed over. With the literal guard, an
// occurrence is left when the line, as the replacements before it left it, holds "'", "{" and
// "(*", none of them before the occurrence. Returns the number of replacements.
std::size_t ReplaceSubstring(std::string& line, std::string_view oldText, std::string_view newText,
                             bool useLiteralGuard, CodePage codePage);

}  // namespace reshape
