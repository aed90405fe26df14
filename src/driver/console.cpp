#include "driver/console.h"

#include <utility>

#include "base/errors.h"
#include "platform/system.h"

namespace reshape {

Console::~Console() {
  try {
    Flush();
  } catch (...) {
    // Leaving early: the failure report that follows is written by other means.
  }
}

void Console::Write(std::string_view text) {
  if (collect_) {
    collected_ += text;
    if (collected_.size() >= kPieceSize) Flush();
    return;
  }
  CheckInOut(platform::WriteStandardOutput(text));
}

void Console::WriteLine(std::string_view text) {
  if (!collect_) return Write(std::string(text) + '\n');
  collected_ += text;
  Write("\n");
}

void Console::Flush() {
  if (collected_.empty()) return;
  const std::string text = std::exchange(collected_, std::string());
  CheckInOut(platform::WriteStandardOutput(text));
}

}  // namespace reshape
