// Standard output as the run uses it: every piece of text goes out at once, so a file's name is
// visible while the file is processed. A failed write is EInOutError. Tests put another sink in
// its place.
#pragma once

#include <string_view>

namespace reshape {

class Console {
 public:
  virtual ~Console() = default;
  virtual void Write(std::string_view text);
  void WriteLine(std::string_view text);
};

}  // namespace reshape
