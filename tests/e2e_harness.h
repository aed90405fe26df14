// Helpers for end-to-end tests: a fresh temporary directory per test, file helpers, and a
// runner that starts the built reshape executable in that directory and captures its output.
#pragma once

#include <string>
#include <vector>

namespace reshape::e2e {

struct RunResult {
  int ExitCode = -1;
  std::string Output;  // standard output, byte for byte
  long PeakMemoryKb = 0;  // the child's peak resident memory
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void SetReadOnly(const std::string& name, bool readOnly = true) const;
  // Names of all entries, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

// Runs reshape with the arguments in the directory; extra environment entries "NAME=value".
RunResult RunReshape(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment = {},
                     const std::string& executable = RESHAPE_EXECUTABLE);

// A binary form file made from its text form by reshape's own compiler, with no rules.
std::string CompileFormText(const std::string& text);

// The failure report's code address replaced by "ADDRESS", so reports compare exactly.
std::string MaskAddress(const std::string& output);

}  // namespace reshape::e2e
