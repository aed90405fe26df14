// A list of whole-name renames applied to a line together, as RENC and RENU make them: each
// rename, in list order, replaces the first name of the line that equals its old name ignoring
// ASCII letter case. The names are taken from the line as it was before any rename acted, and
// each is replaced where it stands after the earlier renames, so a new name holding delimiters
// neither hides nor shifts the names behind it. A line costs one look-up per name instead of
// one scan per rename, so scripts with many renames stay fast.
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
  // What a name of the line is: a word of DelimiterSet, or a dotted name (words joined by
  // single dots, as unit names are).
  enum class Names { Words, DottedNames };

  // The renames in the order they act; the names must outlive this object.
  explicit WholeWordRenames(std::vector<Rename> renames, Names names = Names::Words);

  // Applies the renames to the line; returns the list positions of those that replaced, in order.
  const std::vector<std::size_t>& Apply(std::string& line);

  // Where in a whole text, from `from` (a line's start) on, the first word that equals an old
  // name (ASCII case ignored) starts; CR and LF end words there, as they end lines. npos: none.
  // A line that holds no such word is left as it is by Apply. Dotted names are not searched
  // for: `from` is returned.
  std::size_t NextCandidate(std::string_view text, std::size_t from);

  // The byte every old name begins with (upper-cased) and, when they are few, the bytes the
  // names have second (upper-cased); secondCount 0 stands for any byte.
  struct StartKeys {
    static constexpr std::size_t kMaxSeconds = 4;
    char first = 0;
    std::array<char, kMaxSeconds> seconds{};
    std::size_t secondCount = 0;
  };

 private:
  // The renames that share one old name (ignoring letter case), in list order.
  struct Group {
    std::vector<std::size_t> renames;
    std::size_t lastLine = 0;
  };
  // A rename and the name of the line, as it stood before the line changed, that it acts on.
  struct Match {
    std::size_t rename;
    std::size_t start;
    std::size_t length;
  };
  // A name of the line that has been replaced: where it stood and how long it is now.
  struct Edit {
    std::size_t start;
    std::size_t oldLength;
    std::size_t newLength;
  };

  // Cheap test that rules out most names, in any letter case, before the table is asked: the
  // length and the first and last bytes of every old name.
  bool MayBeOldName(std::string_view name) const {
    return longNames_ ||
           (name.size() < kLengthBits && lengths_[name.size()] &&
            firstBytes_[static_cast<unsigned char>(AsciiUpper(name.front()))] &&
            lastBytes_[static_cast<unsigned char>(AsciiUpper(name.back()))]);
  }
  // NextCandidate for old names that all begin with startKeys_.first.
  std::size_t NextCandidateByFirstByte(std::string_view text, std::size_t from);
  static constexpr std::size_t kLengthBits = 256;

  std::vector<Rename> renames_;
  Names names_;
  std::vector<Group> groups_;
  CaselessNames groupNames_;  // the old names, numbered as groups_
  std::bitset<kLengthBits> lengths_;
  std::bitset<256> firstBytes_;
  std::bitset<256> lastBytes_;
  std::bitset<256> secondBytes_;
  bool longNames_ = false;  // an old name too long for lengths_
  bool oneFirstByte_ = false;  // every old name begins with startKeys_.first, which may begin a word
  StartKeys startKeys_;
  std::size_t lineNumber_ = 0;
  std::vector<Match> matches_;
  std::vector<Edit> edits_;
  std::vector<std::size_t> replaced_;
};

}  // namespace reshape
