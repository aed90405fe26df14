#include "source/replace.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "base/ascii_case.h"
#include "base/byte_block.h"

namespace reshape {

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// The first position from `from` on whose byte equals key (ASCII case ignored when key is an
// upper-case letter), or the text's size. Sixteen or eight bytes are tested at a time: a
// letter's two cases differ only in bit 5, which is set on both sides before comparing.
std::size_t SkipToByte(std::string_view text, std::size_t from, char key) {
  const auto fold = static_cast<unsigned char>(LetterCaseBit(key));
  const auto wanted = static_cast<unsigned char>(static_cast<unsigned char>(key) | fold);
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  const char* data = text.data();
  std::size_t i = from;
#ifdef RESHAPE_BYTE_BLOCKS
  const ByteBlock foldBits = RepeatByte(static_cast<char>(fold));
  const ByteBlock wantedBytes = RepeatByte(static_cast<char>(wanted));
  for (; i + 16 <= text.size(); i += 16) {
    const ByteBlock block = LoadBlock(data + i);
    const unsigned found = TopBits(BytesEqual(BlockOr(block, foldBits), wantedBytes));
    if (found != 0)
      return i + static_cast<std::size_t>(std::countr_zero(found));
  }
#endif
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t block;
    std::memcpy(&block, data + i, 8);
    const std::uint64_t diff = (block | (kOnes * fold)) ^ (kOnes * wanted);
    // The lowest zero byte of diff is found exactly; bytes above it may be misreported, which
    // the byte-wise test below settles.
    const std::uint64_t zero = (diff - kOnes) & ~diff & kHighs;
    if (zero != 0) {
      if constexpr (std::endian::native == std::endian::little) return i + std::countr_zero(zero) / 8;
      break;
    }
  }
  for (; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) | fold) == wanted) return i;
  return text.size();
}

// The first start from `from` to `last` at which the byte `first` places on holds firstKey and
// the byte `second` places on holds secondKey (ASCII case ignored when a key is an upper-case
// letter), or last + 1; second >= first, and text must hold last + second + 1 bytes. Two bytes
// of the key rule out far more places than one; the starts are tested many at a time.
std::size_t SkipToPair(std::string_view text, std::size_t from, std::size_t last, std::size_t first,
                       char firstKey, std::size_t second, char secondKey) {
  const char firstFold = LetterCaseBit(firstKey);
  const char secondFold = LetterCaseBit(secondKey);
  const auto firstWanted = static_cast<char>(firstKey | firstFold);
  const auto secondWanted = static_cast<char>(secondKey | secondFold);
  const char* data = text.data();
  std::size_t start = from;
#ifdef RESHAPE_BYTE_BLOCKS
  const ByteBlock firstFolds = RepeatByte(firstFold);
  const ByteBlock firstWanteds = RepeatByte(firstWanted);
  const ByteBlock secondFolds = RepeatByte(secondFold);
  const ByteBlock secondWanteds = RepeatByte(secondWanted);
  const auto matches = [](const char* at, ByteBlock folds, ByteBlock wanteds) {
    const ByteBlock bytes = LoadBlock(at);
    return BytesEqual(BlockOr(bytes, folds), wanteds);
  };
  const auto places = [&](std::size_t at) {
    return static_cast<std::uint32_t>(TopBits(
        BlockAnd(matches(data + at + first, firstFolds, firstWanteds),
                 matches(data + at + second, secondFolds, secondWanteds))));
  };
  // Thirty-two starts per step, with one branch for both halves.
  for (; start + 32 <= last + 1; start += 32)
    if (const std::uint32_t found = places(start) | places(start + 16) << 16; found != 0)
      return start + static_cast<std::size_t>(std::countr_zero(found));
  for (; start + 16 <= last + 1; start += 16)
    if (const std::uint32_t found = places(start); found != 0)
      return start + static_cast<std::size_t>(std::countr_zero(found));
#endif
  for (; start <= last; ++start)
    if (static_cast<char>(data[start + first] | firstFold) == firstWanted &&
        static_cast<char>(data[start + second] | secondFold) == secondWanted)
      return start;
  return last + 1;
}

// How often a byte stands in source text, roughly: blanks and common letters high, rare
// letters, digits and most punctuation low. Only the order matters.
int Commonness(char c) {
  static constexpr std::string_view kLettersByFrequency = "ETAOINSRHLDCUMFPGWYBVKXJQZ";
  if (c == ' ') return 100;
  if (std::size_t at = kLettersByFrequency.find(c); at != std::string_view::npos)
    return 90 - 3 * static_cast<int>(at);
  if (std::string_view("();.,=:'").find(c) != std::string_view::npos) return 40;
  if (c >= '0' && c <= '9') return 30;
  return 10;
}

}  // namespace

SubstringFinder::SubstringFinder(std::string_view oldText, CodePage codePage)
    : upperKey_(AsciiUpperCase(oldText)), border_(upperKey_.size(), 0), codePage_(codePage) {
  for (std::size_t i = 1, k = 0; i < upperKey_.size(); ++i) {
    while (k > 0 && upperKey_[i] != upperKey_[k]) k = border_[k - 1];
    if (upperKey_[i] == upperKey_[k]) ++k;
    border_[i] = k;
  }
  std::size_t anchor = 0;
  for (std::size_t i = 1; i < upperKey_.size(); ++i)
    if (Commonness(upperKey_[i]) < Commonness(upperKey_[anchor])) anchor = i;
  // The second byte tested is the rarest of the others, one that differs from the first if any.
  const auto rank = [this, anchor](std::size_t i) {
    return Commonness(upperKey_[i]) + (upperKey_[i] == upperKey_[anchor] ? 1000 : 0);
  };
  std::size_t other = anchor;
  for (std::size_t i = 0; i < upperKey_.size(); ++i)
    if (i != anchor && (other == anchor || rank(i) < rank(other))) other = i;
  pairFirst_ = std::min(anchor, other);
  pairSecond_ = std::max(anchor, other);
}

std::size_t SubstringFinder::Find(std::string_view text) const {
  const std::size_t m = upperKey_.size();
  if (m == 0 || m > text.size()) return kNotFound;
  // Whether a position, asked in rising order, starts a character: the bytes are walked once,
  // a lead byte taking its following byte with it.
  const bool doubleByte = codePage_.IsDoubleByte();
  std::size_t character = 0;
  const auto startsCharacter = [&](std::size_t position) {
    while (doubleByte && character < position)
      character += codePage_.IsLeadByte(static_cast<unsigned char>(text[character])) ? 2 : 1;
    return !doubleByte || character == position;
  };
  // Only where the key's two rarest bytes stand can an occurrence start, so those places are
  // skipped to and checked. A budget on the bytes compared keeps the search linear when such
  // places are dense and nearly match; the prefix-function search takes over then.
  const std::size_t last = text.size() - m;
  std::size_t budget = text.size() + m;
  std::size_t start = 0;
  for (;; ++start) {
    start = SkipToPair(text, start, last, pairFirst_, upperKey_[pairFirst_], pairSecond_,
                       upperKey_[pairSecond_]);
    if (start > last) return kNotFound;
    std::size_t same = 0;
    while (same < m && AsciiUpper(text[start + same]) == upperKey_[same]) ++same;
    if (same == m && startsCharacter(start)) return start;
    if (same >= budget) break;
    budget -= same + 1;
  }
  std::size_t matched = 0;
  for (std::size_t i = start + 1; i < text.size(); ++i) {
    if (matched == 0) {
      // Outside a partial match only the first byte of the key can start one.
      i = SkipToByte(text, i, upperKey_[0]);
      if (i == text.size()) break;
    }
    const char c = AsciiUpper(text[i]);
    while (matched > 0 && c != upperKey_[matched]) matched = border_[matched - 1];
    if (c == upperKey_[matched]) ++matched;
    if (matched == m) {
      if (startsCharacter(i + 1 - m)) return i + 1 - m;
      matched = border_[m - 1];
    }
  }
  return kNotFound;
}

std::size_t NextOccurrence::From(const SubstringFinder& finder, std::string_view text,
                                 std::size_t from) {
  if (!searched_ || (at_ != std::string_view::npos && at_ < from)) {
    searched_ = true;
    at_ = finder.Find(text.substr(from));
    if (at_ != std::string_view::npos) at_ += from;
  }
  return at_;
}

std::vector<SubstringFinder> FewNameFinders(const std::vector<std::string_view>& names) {
  constexpr std::size_t kMaxNameFinders = 4;
  std::vector<SubstringFinder> finders;
  if (names.size() > kMaxNameFinders ||
      std::any_of(names.begin(), names.end(), [](std::string_view name) {
        return name.find_first_of("\r\n") != std::string_view::npos;
      }))
    return finders;
  for (std::string_view name : names) finders.emplace_back(name, CodePage());
  return finders;
}

bool ReplaceSubstring(std::string& line, const SubstringFinder& oldText, std::string_view newText,
                      bool useLiteralGuard) {
  const std::size_t start = oldText.Find(std::string_view(line).substr(0, line.find('\0')));
  if (start == kNotFound) return false;
  if (useLiteralGuard) {
    // Skipped only in a line that holds a quote, a "{" and a "(*", none of them before the
    // match; any one of them missing or standing before the match lets it through.
    const auto onlyAfter = [&line, start](std::string_view marker) {
      const std::size_t first = line.find(marker);
      return first != kNotFound && first >= start;
    };
    if (onlyAfter("'") && onlyAfter("{") && onlyAfter("(*")) return false;
  }
  line.replace(start, oldText.Length(), newText);
  return true;
}

bool ReplaceSubstring(std::string& line, std::string_view oldText, std::string_view newText,
                      bool useLiteralGuard, CodePage codePage) {
  return ReplaceSubstring(line, SubstringFinder(oldText, codePage), newText, useLiteralGuard);
}

}  // namespace reshape
