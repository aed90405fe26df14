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
  return Occurrences(*this, text).Next();
}

SubstringFinder::Occurrences::Occurrences(const SubstringFinder& finder, std::string_view text)
    : finder_(finder), text_(text), budget_(text.size() + finder.Length()) {}

// Whether a position, asked in rising order, starts a character: the bytes are walked once, a
// lead byte taking its following byte with it.
bool SubstringFinder::Occurrences::StartsCharacter(std::size_t position) {
  const CodePage& codePage = finder_.codePage_;
  if (!codePage.IsDoubleByte()) return true;
  while (character_ < position)
    character_ += codePage.IsLeadByte(static_cast<unsigned char>(text_[character_])) ? 2 : 1;
  return character_ == position;
}

std::size_t SubstringFinder::Occurrences::Next() {
  const std::string& key = finder_.upperKey_;
  const std::size_t m = key.size();
  if (m == 0 || from_ > text_.size() || m > text_.size() - from_) return kNotFound;
  const auto found = [&](std::size_t at) {
    // The walk passes the occurrence while its bytes are still there to read.
    StartsCharacter(at + m);
    from_ = at + m;
    return at;
  };
  // Only where the key's two rarest bytes stand can an occurrence start, so those places are
  // skipped to and checked. A budget on the bytes compared keeps the search linear when such
  // places are dense and nearly match; the prefix-function search takes over then.
  const std::size_t last = text_.size() - m;
  std::size_t start = from_;
  for (; budget_ != 0; ++start) {
    start = SkipToPair(text_, start, last, finder_.pairFirst_, key[finder_.pairFirst_],
                       finder_.pairSecond_, key[finder_.pairSecond_]);
    if (start > last) {
      from_ = kNotFound;
      return kNotFound;
    }
    std::size_t same = 0;
    while (same < m && AsciiUpper(text_[start + same]) == key[same]) ++same;
    if (same == m && StartsCharacter(start)) return found(start);
    if (same >= budget_) {
      budget_ = 0;
      ++start;
      break;
    }
    budget_ -= same + 1;
  }
  std::size_t matched = 0;
  for (std::size_t i = start; i < text_.size(); ++i) {
    if (matched == 0) {
      // Outside a partial match only the first byte of the key can start one.
      i = SkipToByte(text_, i, key[0]);
      if (i == text_.size()) break;
    }
    const char c = AsciiUpper(text_[i]);
    while (matched > 0 && c != key[matched]) matched = finder_.border_[matched - 1];
    if (c == key[matched]) ++matched;
    if (matched == m) {
      if (StartsCharacter(i + 1 - m)) return found(i + 1 - m);
      matched = finder_.border_[m - 1];
    }
  }
  from_ = kNotFound;
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

std::size_t ReplaceSubstring(std::string& line, const SubstringFinder& oldText,
                             std::string_view newText, bool useLiteralGuard) {
  SubstringFinder::Occurrences occurrences(oldText,
                                           std::string_view(line).substr(0, line.find('\0')));
  std::size_t at = occurrences.Next();
  if (at == kNotFound) return 0;
  const std::size_t length = oldText.Length();
  // The guard skips an occurrence only when the line holds all three markers from it on (the
  // bytes from it on are still the line's own) and none before it. Where each marker stands
  // next is searched for only when the guard asks, and again only once it lies behind.
  struct NextMarker {
    std::string_view marker;
    std::size_t at = 0;
    bool searched = false;
    bool From(const std::string& text, std::size_t start) {
      if (!searched || (at != kNotFound && at < start)) at = text.find(marker, start);
      searched = true;
      return at != kNotFound;
    }
  };
  NextMarker quote{"'"}, brace{"{"}, comment{"(*"};
  // A line that does not grow is rewritten in place: what is written never passes what is
  // still to be read.
  const bool inPlace = newText.size() <= length;
  std::string grown;
  if (!inPlace) grown.reserve(line.size() + newText.size() - length);
  std::size_t written = 0;
  const auto put = [&](const char* bytes, std::size_t count) {
    if (inPlace)
      std::memmove(line.data() + written, bytes, count);
    else
      grown.append(bytes, count);
    written += count;
  };
  std::size_t read = 0;
  std::size_t replaced = 0;
  bool markerBefore = false;  // the rewritten part holds a marker
  std::size_t checked = 0;    // the rewritten bytes before it are looked at for markers
  for (; at != kNotFound; at = occurrences.Next()) {
    put(line.data() + read, at - read);
    read = at + length;
    if (useLiteralGuard && !markerBefore) {
      const std::string_view before = inPlace ? std::string_view(line.data(), written) : grown;
      // One byte back, for a "(*" across the edge of what was looked at.
      const std::string_view fresh = before.substr(checked == 0 ? 0 : checked - 1);
      markerBefore = fresh.find('\'') != kNotFound || fresh.find('{') != kNotFound ||
                     fresh.find("(*") != kNotFound || (before.ends_with('(') && line[at] == '*');
      checked = written;
      if (!markerBefore && quote.From(line, at) && brace.From(line, at) && comment.From(line, at)) {
        put(line.data() + at, length);
        continue;
      }
    }
    put(newText.data(), newText.size());
    ++replaced;
  }
  put(line.data() + read, line.size() - read);
  if (inPlace)
    line.resize(written);
  else
    line = std::move(grown);
  return replaced;
}

std::size_t ReplaceSubstring(std::string& line, std::string_view oldText, std::string_view newText,
                             bool useLiteralGuard, CodePage codePage) {
  return ReplaceSubstring(line, SubstringFinder(oldText, codePage), newText, useLiteralGuard);
}

}  // namespace reshape
