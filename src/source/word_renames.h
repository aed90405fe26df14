// A list of whole-name renames applied to a line together, as RENC and RENU make them: every
// name of the line, as the line stood before any rename acted, that equals an old name ignoring
// ASCII letter case is replaced by the first rename in list order with that old name. So a name
// is renamed once, and a name that one rename puts in is never taken for a name by a later one.
// A line costs one look-up per name instead of one scan per rename, so scripts with many
// renames stay fast.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/ascii_case.h"
#include "source/caseless_names.h"

namespace reshape {

class WholeWordRenames {
 public:
  struct Rename {
    std::string_view oldName;
    std::string_view newName;
  };
  // What a name of the line is: a word of WideDelimiterSet, or a dotted name (words of
  // DelimiterSet joined by single dots, as unit names are).
  enum class Names { Words, DottedNames };
  // A rename that replaced names of a line, and how many.
  struct Replaced {
    std::size_t rename;
    std::size_t count;
  };

  // The renames in the order they act; the names must outlive this object.
  explicit WholeWordRenames(std::vector<Rename> renames, Names names = Names::Words);

  // Applies the renames to the line; returns those that replaced, in list order.
  const std::vector<Replaced>& Apply(std::string& line);
  // The same for a line of words that stands unchanged at `offset` of a whole text, when
  // `candidate` is where NextCandidate found the first word to rename at or after the line's
  // start: the words are found by the search of the text alone. `candidate` becomes the next
  // such word after the line (npos: none).
  const std::vector<Replaced>& ApplyAt(std::string& line, std::string_view text,
                                       std::size_t offset, std::size_t& candidate);

  // Where in a whole text, from `from` (a line's start) on, the first word that equals an old
  // name (ASCII case ignored) starts; CR and LF end words there, as they end lines. npos: none.
  // A line that holds no such word is left as it is by Apply. Dotted names are not searched
  // for: `from` is returned.
  std::size_t NextCandidate(std::string_view text, std::size_t from) {
    if (names_ == Names::DottedNames) return from;
    found_ = FindCandidate(text, from);
    foundIn_ = text;
    return found_.start;
  }

  // The byte every old name begins with (upper-cased) and, when they are few, the bytes the
  // names have second (upper-cased); secondCount 0 stands for any byte.
  struct StartKeys {
    static constexpr std::size_t kMaxSeconds = 4;
    char first = 0;
    std::array<char, kMaxSeconds> seconds{};
    std::size_t secondCount = 0;
  };

 private:
  // A name of the line that an old name equals, as the line stood before it changed.
  struct Match {
    std::size_t start;
    std::size_t length;
    std::size_t group;
  };
  // A word of a whole text that an old name equals: [start, end) and the name's group.
  struct Candidate {
    std::size_t start;
    std::size_t end;
    std::size_t group;
  };

  // Cheap test that rules out most names, in any letter case, before the table is asked: the
  // length and the first and last bytes of every old name.
  bool MayBeOldName(std::string_view name) const {
    return longNames_ ||
           (name.size() < kLengthBits && lengths_[name.size()] &&
            firstBytes_[static_cast<unsigned char>(AsciiUpper(name.front()))] &&
            lastBytes_[static_cast<unsigned char>(AsciiUpper(name.back()))]);
  }
  std::size_t GroupOf(std::string_view name) const {
    return MayBeOldName(name) ? groupNames_.Find(name) : CaselessNames::kNone;
  }
  // Counts a name of the line that is to be renamed, and notes it while there is room.
  void Note(std::size_t start, std::size_t length, std::size_t group);
  // Calls visit(start, length) for every name of the line.
  template <typename Visit>
  void ScanNames(std::string_view line, Visit visit) const;
  // Puts the new names in place of the names noted (of every name, when they did not all fit)
  // and lists the renames that replaced.
  const std::vector<Replaced>& Replace(std::string& line);
  // Lists the renames that replaced and makes ready for the next line.
  const std::vector<Replaced>& Listed();
  // The first word at or after `from` that an old name equals; start npos: none.
  Candidate FindCandidate(std::string_view text, std::size_t from) const;
  // FindCandidate for old names that all begin with startKeys_.first.
  Candidate FindCandidateByFirstByte(std::string_view text, std::size_t from) const;
  static constexpr std::size_t kLengthBits = 256;
  // The names noted per line at most: a line holding more is scanned a second time to replace
  // them, so that its memory stays bounded whatever its number of names.
  static constexpr std::size_t kMaxNoted = 1 << 16;

  std::vector<Rename> renames_;
  Names names_;
  // Per old name (ignoring letter case): the first rename in list order that has it, and how
  // many names of the current line it replaces.
  std::vector<Replaced> groups_;
  CaselessNames groupNames_;  // the old names, numbered as groups_
  std::bitset<kLengthBits> lengths_;
  std::bitset<256> firstBytes_;
  std::bitset<256> lastBytes_;
  std::bitset<256> secondBytes_;
  bool longNames_ = false;  // an old name too long for lengths_
  bool oneFirstByte_ = false;  // every old name begins with startKeys_.first, which may begin a word
  StartKeys startKeys_;
  // The word NextCandidate or ApplyAt found last, which ApplyAt is most often asked to start at.
  Candidate found_{std::string_view::npos, std::string_view::npos, 0};
  std::string_view foundIn_;
  std::vector<Match> matches_;
  bool allNoted_ = true;
  std::vector<std::size_t> counted_;  // the groups that name names of the current line
  std::vector<Replaced> replaced_;
  std::string rewritten_;
};

}  // namespace reshape
