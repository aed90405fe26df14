#include "source/text_lines.h"

#include <algorithm>

#include "base/byte_block.h"
#include "base/byte_search.h"
#include "base/bytes.h"

namespace reshape {

namespace {


// How many bytes from `from` on are whole lines, breaks included, that end before `to`: up to
// the last line break before `to`. A CR LF split at `to` counts whole, as its line's break.
std::size_t WholeLines(std::string_view text, std::size_t from, std::size_t to) {
  const std::size_t last = text.substr(from, to - from).find_last_of("\r\n");
  if (last == std::string_view::npos) return 0;
  const std::size_t end = from + last + 1;
  return end - from + (text[end - 1] == '\r' && end < text.size() && text[end] == '\n');
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
  // The breaks since the place last counted: each LF, and each CR that no LF follows, sixteen
  // bytes at a time where the processor has the instructions for it. The line starts after a
  // break, so the byte after the last one looked at is still in the text.
  const char* data = text_.data();
  std::size_t i = counted_;
#ifdef RESHAPE_BYTE_BLOCKS
  const ByteBlock cr = RepeatByte('\r');
  const ByteBlock lf = RepeatByte('\n');
  // Each byte of counts counts the breaks at its place in up to 255 blocks (a test is -1).
  ByteBlock counts = RepeatByte(0);
  int blocks = 0;
  for (; i + 16 <= lineStart_; i += 16) {
    const ByteBlock block = LoadBlock(data + i);
    const ByteBlock loneCr =
        BlockAndNot(BytesEqual(block, cr), BytesEqual(LoadBlock(data + i + 1), lf));
    counts = BytesMinus(counts, BlockOr(BytesEqual(block, lf), loneCr));
    if (++blocks == 255) {
      lineNumber_ += static_cast<int>(SumOfBytes(counts));
      counts = RepeatByte(0);
      blocks = 0;
    }
  }
  lineNumber_ += static_cast<int>(SumOfBytes(counts));
#endif
  for (; i < lineStart_; ++i)
    lineNumber_ += data[i] == '\n' || (data[i] == '\r' && data[i + 1] != '\n');
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
  const FileText file = TextOfFile(fileBytes);
  std::string_view text = file.text;
  const std::size_t start = file.start;
  // The end-of-text mark and every byte behind it stay as they are.
  const std::string_view tail = fileBytes.substr(text.size());

  RewrittenBytes result(fileBytes);
  // A UTF-8 byte-order mark stays in front, so that it does not become part of the first word.
  result.Append(text.substr(0, start));
  text.remove_prefix(start);
  std::string line;
  transform.text_ = text;
  transform.lineStart_ = transform.counted_ = 0;
  transform.lineNumber_ = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (const std::size_t quiet = std::min(transform.QuietUntil(), text.size()); quiet > pos) {
      const std::size_t same = WholeLines(text, pos, quiet);
      result.Append(text.substr(pos, same));
      pos += same;
      if (pos == text.size()) break;
    }
    const std::size_t end = FindFirstOf<'\r', '\n'>(text.data(), pos, text.size());
    line.assign(text.substr(pos, end - pos));
    transform.lineStart_ = pos;
    transform.TransformLineOf(line, text, pos);
    result.Append(line);
    // Each line keeps its own break: CR LF, LF or a lone CR; the last may have none.
    pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    result.Append(text.substr(end, std::min(pos, text.size()) - end));
  }
  result.Append(tail);
  return result.Take();
}

FileText TextOfFile(std::string_view fileBytes) {
  const std::string_view text = fileBytes.substr(0, fileBytes.find(kEndOfText));
  return {text, text.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0};
}

bool IsUtf16Text(std::string_view fileBytes) {
  return fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF");
}

}  // namespace reshape
