#include "driver/console.h"

#include <string>

#include "base/errors.h"
#include "platform/system.h"

namespace reshape {

void Console::Write(std::string_view text) {
  if (int code = platform::WriteStandardOutput(text)) throw EInOutError(code);
}

void Console::WriteLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  Write(line);
}

}  // namespace reshape
