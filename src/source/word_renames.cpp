#include "source/word_renames.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "base/byte_block.h"
#include "source/word_scan.h"

namespace reshape {

namespace {

#ifdef RESHAPE_BYTE_BLOCKS
// The places in sixteen bytes where keys.first (ASCII case ignored when it is an upper-case
// letter) may begin a word: followed by one of keys.seconds, if there are any, else after a
// byte below 'A' or above 'z' or one of "[]^", as every delimiter is. The caller tests each
// place exactly; this only rules out the others, sixteen at a time.
class StartHits {
 public:
  explicit StartHits(const WholeWordRenames::StartKeys& keys)
      : first_(KeyOf(keys.first)), secondCount_(keys.secondCount) {
    for (std::size_t i = 0; i < secondCount_; ++i) seconds_[i] = KeyOf(keys.seconds[i]);
  }

  std::size_t SecondCount() const { return secondCount_; }

  // Bit i set: byte i of data may be such a place. Reads data[-1] to data[16]. kSeconds is
  // SecondCount(), fixed at compile time so that the keys are tested without a loop.
  template <std::size_t kSeconds>
  unsigned Of(const char* data) const {
    const ByteBlock bytes = LoadBlock(data);
    const ByteBlock first = Matches(bytes, first_);
    if constexpr (kSeconds != 0) {
      // Two bytes are rare enough together that the byte before is left to the exact test.
      const ByteBlock after = LoadBlock(data + 1);
      ByteBlock second = Matches(after, seconds_[0]);
      for (std::size_t i = 1; i < kSeconds; ++i)
        second = BlockOr(second, Matches(after, seconds_[i]));
      return TopBits(BlockAnd(first, second));
    }
    const ByteBlock before = LoadBlock(data - 1);
    // Signed, so bytes from 80 on count as below 'A' too: they only cost a closer look.
    const ByteBlock low = BlockOr(
        BlockOr(BytesLess(before, RepeatByte('A')), BytesLess(RepeatByte('z'), before)),
        BlockOr(BlockOr(BytesEqual(before, RepeatByte('[')), BytesEqual(before, RepeatByte(']'))),
                BytesEqual(before, RepeatByte('^'))));
    return TopBits(BlockAnd(first, low));
  }

 private:
  struct Key {
    ByteBlock fold;
    ByteBlock wanted;
  };
  static Key KeyOf(char key) {
    return Key{RepeatByte(LetterCaseBit(key)), RepeatByte(static_cast<char>(key | LetterCaseBit(key)))};
  }
  static ByteBlock Matches(ByteBlock bytes, const Key& key) {
    return BytesEqual(BlockOr(bytes, key.fold), key.wanted);
  }

  Key first_;
  std::array<Key, WholeWordRenames::StartKeys::kMaxSeconds> seconds_;
  std::size_t secondCount_;
};

// The first place from `at` on, in blocks of sixteen bytes while whole blocks remain, that
// isCandidate accepts, or npos; `at` is left where the blocks end. Two blocks are tested per
// step, with one branch for both, as places are rare.
template <std::size_t kSeconds, typename IsCandidate>
std::size_t FindInBlocks(const StartHits& hits, std::string_view text, std::size_t& at,
                         IsCandidate& isCandidate) {
  const auto first = [&](std::uint32_t places) {
    for (; places != 0; places &= places - 1)
      if (const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(places));
          isCandidate(place))
        return place;
    return std::string_view::npos;
  };
  for (; at + 33 <= text.size(); at += 32)
    if (const std::uint32_t places = hits.Of<kSeconds>(text.data() + at) |
                                     hits.Of<kSeconds>(text.data() + at + 16) << 16;
        places != 0)
      if (const std::size_t place = first(places); place != std::string_view::npos) return place;
  for (; at + 17 <= text.size(); at += 16)
    if (const std::size_t place = first(hits.Of<kSeconds>(text.data() + at));
        place != std::string_view::npos)
      return place;
  return std::string_view::npos;
}

template <typename IsCandidate>
std::size_t FindInBlocks(const StartHits& hits, std::string_view text, std::size_t& at,
                         IsCandidate& isCandidate) {
  static_assert(WholeWordRenames::StartKeys::kMaxSeconds == 4);
  switch (hits.SecondCount()) {
    case 0: return FindInBlocks<0>(hits, text, at, isCandidate);
    case 1: return FindInBlocks<1>(hits, text, at, isCandidate);
    case 2: return FindInBlocks<2>(hits, text, at, isCandidate);
    case 3: return FindInBlocks<3>(hits, text, at, isCandidate);
    default: return FindInBlocks<4>(hits, text, at, isCandidate);
  }
}
#endif

// Where the word at `from` of a whole text ends.
std::size_t WordEnd(std::string_view text, std::size_t from, const std::array<bool, 256>& table) {
#ifdef RESHAPE_BYTE_BLOCKS
  for (; from + 16 <= text.size(); from += 16)
    if (const unsigned ends = SourceDelimiterBits<true, Delimiters::Wide>(text.data() + from); ends != 0)
      return from + static_cast<std::size_t>(std::countr_zero(ends));
#endif
  while (from < text.size() && !IsSourceDelimiter<true>(text[from], table)) ++from;
  return from;
}

}  // namespace

WholeWordRenames::WholeWordRenames(std::vector<Rename> renames, Names names)
    : renames_(std::move(renames)), names_(names) {
  groupNames_.Reserve(renames_.size());
  groups_.reserve(renames_.size());
  const auto upper = [](char c) { return static_cast<unsigned char>(AsciiUpper(c)); };
  for (std::size_t i = 0; i < renames_.size(); ++i) {
    const std::string_view name = renames_[i].oldName;
    // A later rename of the same name never acts: the first has taken every such name.
    if (groupNames_.Add(name) == groups_.size()) groups_.push_back({i, 0});
    // An empty old name never equals a name; it needs no entry in the filter.
    if (name.empty()) continue;
    if (name.size() < kLengthBits)
      lengths_.set(name.size());
    else
      longNames_ = true;
    firstBytes_.set(upper(name.front()));
    lastBytes_.set(upper(name.back()));
    startKeys_.first = AsciiUpper(name.front());
    // A name of one byte is followed by whatever ends its word.
    name.size() == 1 ? secondBytes_.set() : secondBytes_.set(upper(name[1]));
  }
  oneFirstByte_ = firstBytes_.count() == 1 &&
                  !IsSourceDelimiter<true>(startKeys_.first, SourceDelimiterTable(Delimiters::Wide));
  // A few second bytes are tested together with the first; many would cost more than they save.
  if (secondBytes_.count() <= StartKeys::kMaxSeconds)
    for (unsigned byte = 0; byte < 256; ++byte)
      if (secondBytes_[byte]) startKeys_.seconds[startKeys_.secondCount++] = static_cast<char>(byte);
}

void WholeWordRenames::Note(std::size_t start, std::size_t length, std::size_t group) {
  if (groups_[group].count++ == 0) counted_.push_back(group);
  if (matches_.size() < kMaxNoted)
    matches_.push_back({start, length, group});
  else
    allNoted_ = false;
}

template <typename Visit>
void WholeWordRenames::ScanNames(std::string_view line, Visit visit) const {
  const auto each = [&visit](std::size_t start, std::size_t length) {
    visit(start, length);
    return true;
  };
  if (names_ == Names::DottedNames)
    ScanSourceDottedNames(line, each);
  else
    ScanSourceWords<Delimiters::Wide>(line, each);
}

const std::vector<WholeWordRenames::Replaced>& WholeWordRenames::Apply(std::string& line) {
  replaced_.clear();
  if (groupNames_.Empty()) return replaced_;
  ScanNames(line, [this, &line](std::size_t start, std::size_t length) {
    if (const std::size_t group = GroupOf(std::string_view(line).substr(start, length));
        group != CaselessNames::kNone)
      Note(start, length, group);
  });
  return Replace(line);
}

const std::vector<WholeWordRenames::Replaced>& WholeWordRenames::ApplyAt(
    std::string& line, std::string_view text, std::size_t offset, std::size_t& candidate) {
  replaced_.clear();
  const std::size_t end = offset + line.size();
  Candidate found = found_.start == candidate && foundIn_.data() == text.data() &&
                            foundIn_.size() == text.size()
                        ? found_
                        : FindCandidate(text, candidate);
  for (; found.start < end; found = FindCandidate(text, found.end))
    Note(found.start - offset, found.end - found.start, found.group);
  found_ = found;
  foundIn_ = text;
  candidate = found.start;
  return Replace(line);
}

const std::vector<WholeWordRenames::Replaced>& WholeWordRenames::Replace(std::string& line) {
  if (counted_.empty()) return replaced_;
  // Every name a rename replaces is as long as its old name.
  std::size_t size = line.size();
  bool sameLengths = allNoted_;
  for (std::size_t group : counted_) {
    const Rename& rename = renames_[groups_[group].rename];
    size += groups_[group].count * rename.newName.size() - groups_[group].count * rename.oldName.size();
    sameLengths = sameLengths && rename.newName.size() == rename.oldName.size();
  }
  if (sameLengths) {
    // The new names fit where the old ones stand.
    for (const Match& match : matches_)
      line.replace(match.start, match.length, renames_[groups_[match.group].rename].newName);
    return Listed();
  }
  rewritten_.clear();
  rewritten_.reserve(size);
  std::size_t done = 0;  // the bytes of the line before it are in rewritten_
  const auto put = [&](std::size_t start, std::size_t length, std::size_t group) {
    rewritten_.append(line, done, start - done);
    rewritten_.append(renames_[groups_[group].rename].newName);
    done = start + length;
  };
  if (allNoted_) {
    for (const Match& match : matches_) put(match.start, match.length, match.group);
  } else {
    ScanNames(line, [&](std::size_t start, std::size_t length) {
      if (const std::size_t group = GroupOf(std::string_view(line).substr(start, length));
          group != CaselessNames::kNone)
        put(start, length, group);
    });
  }
  rewritten_.append(line, done);
  line.swap(rewritten_);
  // A long line's copy is not kept for the lines after it.
  if (rewritten_.capacity() > kMaxNoted) std::string().swap(rewritten_);
  return Listed();
}

const std::vector<WholeWordRenames::Replaced>& WholeWordRenames::Listed() {
  matches_.clear();
  allNoted_ = true;
  for (std::size_t group : counted_) {
    replaced_.push_back({groups_[group].rename, groups_[group].count});
    groups_[group].count = 0;
  }
  counted_.clear();
  std::ranges::sort(replaced_, {}, &Replaced::rename);
  return replaced_;
}

WholeWordRenames::Candidate WholeWordRenames::FindCandidate(std::string_view text,
                                                            std::size_t from) const {
  constexpr Candidate kNoCandidate{std::string_view::npos, std::string_view::npos, 0};
  if (groupNames_.Empty()) return kNoCandidate;
  if (oneFirstByte_) return FindCandidateByFirstByte(text, from);
  const std::array<bool, 256>& table = SourceDelimiterTable(Delimiters::Wide);
  const std::string_view rest = text.substr(from);
  // Only the starts of words are walked; a word's end is looked for only when its first byte
  // may begin an old name. A word may start at `from`: a line's start, or a word's end.
  std::uint64_t delimiterBefore = 1;
  for (std::size_t base = 0; base < rest.size(); base += 64) {
    const std::uint64_t delimiters = SourceDelimiterMask<true, Delimiters::Wide>(rest, base, table);
    std::uint64_t starts = ~delimiters & ((delimiters << 1) | delimiterBefore);
    delimiterBefore = delimiters >> 63;
    for (; starts != 0; starts &= starts - 1) {
      const unsigned bit = static_cast<unsigned>(std::countr_zero(starts));
      const std::size_t start = base + bit;
      if (!longNames_ && !firstBytes_[static_cast<unsigned char>(AsciiUpper(rest[start]))])
        continue;
      const std::uint64_t after = delimiters >> bit;
      const std::size_t end = after != 0 ? start + static_cast<std::size_t>(std::countr_zero(after))
                                         : WordEnd(rest, start, table);
      if (const std::size_t group = GroupOf(rest.substr(start, end - start));
          group != CaselessNames::kNone)
        return {from + start, from + end, group};
    }
  }
  return kNoCandidate;
}

// Type names share their first letter, so the places that letter stands are far fewer than the
// words of the text: they are found sixteen bytes at a time, and only those that begin a word
// are looked at.
WholeWordRenames::Candidate WholeWordRenames::FindCandidateByFirstByte(std::string_view text,
                                                                       std::size_t from) const {
  const std::array<bool, 256>& table = SourceDelimiterTable(Delimiters::Wide);
  std::size_t next = from;  // the places before it lie in a word already looked at
  Candidate found{std::string_view::npos, std::string_view::npos, 0};
  const auto isCandidate = [&](std::size_t at) {
    if (at < next || AsciiUpper(text[at]) != startKeys_.first ||
        (at != from && !IsSourceDelimiter<true>(text[at - 1], table)) ||
        (at + 1 < text.size() && !secondBytes_[static_cast<unsigned char>(AsciiUpper(text[at + 1]))]))
      return false;
    next = WordEnd(text, at + 1, table);
    found = {at, next, GroupOf(text.substr(at, next - at))};
    return found.group != CaselessNames::kNone;
  };
  // A word may start at `from` whatever stands before it: a line's start, or a word's end.
  if (from < text.size() && isCandidate(from)) return found;
  std::size_t at = from + 1;
#ifdef RESHAPE_BYTE_BLOCKS
  if (const std::size_t place = FindInBlocks(StartHits(startKeys_), text, at, isCandidate);
      place != std::string_view::npos)
    return found;
#endif
  for (; at < text.size(); ++at)
    if (isCandidate(at)) return found;
  return {std::string_view::npos, std::string_view::npos, 0};
}

}  // namespace reshape
