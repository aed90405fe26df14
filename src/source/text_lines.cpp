#include "source/text_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/byte_search.h"

namespace reshape {

namespace {

constexpr char kEndOfText = '\x1A';
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How many bytes of region are whole lines that come out exactly as they are (LF or CR LF
// breaks: no lone CR among them); clears onlyLineFeeds when they hold a CR LF. The first lone
// CR is found in one pass over the bytes, thirty-two at a time with one branch where the
// processor has the instructions for it, however many lines the region holds.
std::size_t UnchangedLines(std::string_view region, bool& onlyLineFeeds) {
  std::size_t firstCrLf = std::string_view::npos;
  // Most sources break their lines with LF alone: the library's search then settles it.
  std::size_t i = std::min(region.find('\r'), region.size());
  const char* data = region.data();
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const auto at = [data](std::size_t offset) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + offset));
  };
  for (; i + 33 <= region.size(); i += 32) {
    const __m128i crs0 = _mm_cmpeq_epi8(at(i), cr);
    const __m128i crs1 = _mm_cmpeq_epi8(at(i + 16), cr);
    const __m128i lone = _mm_or_si128(_mm_andnot_si128(_mm_cmpeq_epi8(at(i + 1), lf), crs0),
                                      _mm_andnot_si128(_mm_cmpeq_epi8(at(i + 17), lf), crs1));
    if (_mm_movemask_epi8(lone) != 0) break;  // found below, byte by byte
    if (firstCrLf == std::string_view::npos) {
      const auto crs = static_cast<std::uint32_t>(_mm_movemask_epi8(crs0)) |
                       static_cast<std::uint32_t>(_mm_movemask_epi8(crs1)) << 16;
      if (crs != 0) firstCrLf = i + static_cast<std::size_t>(std::countr_zero(crs));
    }
  }
#endif
  for (; i < region.size(); ++i) {
    if (data[i] != '\r') continue;
    if (i + 1 >= region.size() || data[i + 1] != '\n') break;
    if (firstCrLf == std::string_view::npos) firstCrLf = i;
  }
  const std::size_t lastBreak = region.substr(0, i).rfind('\n');
  if (lastBreak == std::string_view::npos) return 0;
  // Every CR before i is the first half of a CR LF, so one stands among the lines kept when
  // the first does.
  if (firstCrLf < lastBreak) onlyLineFeeds = false;
  return lastBreak + 1;
}

// The rewritten bytes, copied out only from the first place where they differ from the
// file's: a file that comes out as it went in costs no copy and no comparison.
class RewrittenBytes {
 public:
  explicit RewrittenBytes(std::string_view input) : input_(input) {}

  void Append(std::string_view bytes) {
    if (!copied_) {
      // Bytes taken from the input where they stand there are the same bytes.
      if (bytes.data() == input_.data() + size_ || input_.substr(size_, bytes.size()) == bytes) {
        size_ += bytes.size();
        return;
      }
      copied_ = true;
      out_.reserve(input_.size() + input_.size() / 16 + 2);
      out_.assign(input_.substr(0, size_));
    }
    out_ += bytes;
  }

  // The rewritten bytes, or nothing when they equal the input.
  std::optional<std::string> Take() {
    if (copied_) return std::move(out_);
    if (size_ == input_.size()) return std::nullopt;
    return std::string(input_.substr(0, size_));
  }

 private:
  std::string_view input_;
  std::size_t size_ = 0;  // while not copied: the output is the input's first size_ bytes
  bool copied_ = false;
  std::string out_;
};

}  // namespace

LineTransform::~LineTransform() = default;

int LineTransform::CurrentLineNumber() {
  // Sixteen bytes at a time where the processor allows: a file may have many lines between
  // changes. A break is an LF, or a CR that no LF follows.
  const char* data = text_.data();
  std::size_t at = counted_;
#ifdef __SSE2__
  // A block's last byte is looked at with the byte after it, which must be in the text.
  const std::size_t blocksEnd = text_.empty() ? 0 : std::min(lineStart_, text_.size() - 1);
  while (at + 16 <= blocksEnd) {
    // Each byte of `counts` counts the breaks in its column, up to 255 blocks at a time.
    __m128i counts = _mm_setzero_si128();
    for (const std::size_t stop = std::min(blocksEnd, at + 255 * 16); at + 16 <= stop; at += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
      const __m128i lf = _mm_set1_epi8('\n');
      const __m128i breaks = _mm_or_si128(
          _mm_cmpeq_epi8(bytes, lf),
          _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
      counts = _mm_sub_epi8(counts, breaks);
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    lineNumber_ += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
  }
#endif
  for (; at < lineStart_; ++at)
    if (data[at] == '\n' || (data[at] == '\r' && (at + 1 >= text_.size() || data[at + 1] != '\n')))
      ++lineNumber_;
  counted_ = lineStart_;
  return lineNumber_;
}

std::vector<const TCommand*> CommandsOfKind(const CommandList& commands, CommandKind kind) {
  std::vector<const TCommand*> result;
  for (const TCommand& command : commands)
    if (command.Kind == kind) result.push_back(&command);
  return result;
}

std::optional<std::string> RewriteText(std::string_view fileBytes, LineTransform& transform) {
  // UTF-16 text cut at its bytes 0D and 0A would be corrupted; it is left as it is.
  if (IsUtf16Text(fileBytes)) return std::nullopt;
  std::string_view text = fileBytes.substr(0, fileBytes.find(kEndOfText));
  // Bytes behind an end-of-text mark would otherwise be lost; only a final mark goes.
  const std::string_view tail =
      text.size() + 1 < fileBytes.size() ? fileBytes.substr(text.size()) : std::string_view();

  RewrittenBytes result(fileBytes);
  // A UTF-8 byte-order mark stays in front, so that it does not become part of the first word.
  if (text.starts_with(kUtf8Mark)) {
    result.Append(text.substr(0, kUtf8Mark.size()));
    text.remove_prefix(kUtf8Mark.size());
  }
  std::string line;
  transform.text_ = text;
  transform.lineStart_ = transform.counted_ = 0;
  transform.lineNumber_ = 1;
  bool onlyLineFeeds = true;  // every line so far ended in LF alone
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (const std::size_t quiet = std::min(transform.QuietUntil(), text.size()); quiet > pos) {
      const std::size_t same = UnchangedLines(text.substr(pos, quiet - pos), onlyLineFeeds);
      result.Append(text.substr(pos, same));
      pos += same;
      if (pos == text.size()) break;
    }
    const std::size_t end = FindFirstOf<'\r', '\n'>(text.data(), pos, text.size());
    line.assign(text.substr(pos, end - pos));
    transform.lineStart_ = pos;
    transform.TransformLineOf(line, text, pos);
    result.Append(line);
    if (end == text.size()) {
      if (!onlyLineFeeds || pos == 0) result.Append("\r\n");
      break;
    }
    pos = end + 1;
    if (text[end] == '\n') {
      result.Append("\n");
      continue;
    }
    onlyLineFeeds = false;
    result.Append("\r\n");
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  result.Append(tail);
  return result.Take();
}

bool IsUtf16Text(std::string_view fileBytes) {
  return fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF");
}

}  // namespace reshape
