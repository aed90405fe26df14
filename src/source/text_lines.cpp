#include "source/text_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "base/byte_block.h"
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
#ifdef RESHAPE_BYTE_BLOCKS
  const ByteBlock cr = RepeatByte('\r');
  const ByteBlock lf = RepeatByte('\n');
  const auto at = [data](std::size_t offset) {
    return LoadBlock(data + offset);
  };
  for (; i + 33 <= region.size(); i += 32) {
    const ByteBlock crs0 = BytesEqual(at(i), cr);
    const ByteBlock crs1 = BytesEqual(at(i + 16), cr);
    const ByteBlock lone = BlockOr(BlockAndNot(crs0, BytesEqual(at(i + 1), lf)),
                                   BlockAndNot(crs1, BytesEqual(at(i + 17), lf)));
    if (TopBits(lone) != 0) break;  // found below, byte by byte
    if (firstCrLf == std::string_view::npos) {
      const auto crs = static_cast<std::uint32_t>(TopBits(crs0)) |
                       static_cast<std::uint32_t>(TopBits(crs1)) << 16;
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
  for (; counted_ < lineStart_; ++counted_) {
    const char c = text_[counted_];
    if (c == '\n' || (c == '\r' && (counted_ + 1 >= text_.size() || text_[counted_ + 1] != '\n')))
      ++lineNumber_;
  }
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
