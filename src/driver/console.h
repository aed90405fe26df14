// Standard output as the run uses it. On a terminal every piece of text goes out at once, so a
// file's name is visible while the file is processed; into a file or a pipe, where nobody
// watches it, text is collected and written in large pieces, because a write per piece costs a
// system call each. A failed write is an input/output failure. Tests put another sink in its place.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

class Console {
 public:
  explicit Console(bool collect = false) : collect_(collect) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  // Writes what is collected; a failure to write it is not reported from here (call Flush).
  virtual ~Console();

  virtual void Write(std::string_view text);
  void WriteLine(std::string_view text);
  // Writes what is collected.
  void Flush();

 private:
  static constexpr std::size_t kPieceSize = 64 * 1024;
  bool collect_;
  std::string collected_;
};

}  // namespace reshape
