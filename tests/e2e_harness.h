// Helpers for end-to-end tests: a fresh temporary directory per test, file helpers, and a
// runner that starts the built reshape executable in that directory and captures its output.
#pragma once

#include <string>
#include <vector>

namespace reshape::e2e {

struct RunResult {
  int ExitCode = -1;
  std::string Output;  // standard output, byte for byte
  std::string Errors;  // standard error (POSIX only)
  long PeakMemoryKb = -1;  // the child's peak resident memory; -1 where it cannot be measured
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of an entry; "/" in the name becomes the platform's separator.
  std::string operator/(const std::string& name) const;

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Clears or sets the owner's write permission (POSIX), or the read-only attribute (Windows).
  void SetReadOnly(const std::string& name, bool readOnly = true) const;
  // Names of all entries, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

// The reshape executable under test, and its file name as the failure report names it.
std::string ReshapeExecutable();
std::string ModuleName();

// Runs reshape (or another program) with the arguments in the directory; on POSIX a reshape
// program goes through the runner that RESHAPE_TEST_RUNNER names, if any (an emulator).
RunResult RunReshape(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::string& executable = ReshapeExecutable());

// Windows only: runs reshape with the text after the program's name as its command line,
// exactly as written.
RunResult RunReshapeCommandLine(const std::string& directory, const std::string& arguments);

// Holds a file open as another process would, until destroyed: reading (others may read), or
// with no sharing at all.
class HeldFile {
 public:
  enum class Mode { Reading, Exclusive };
  HeldFile(const std::string& path, Mode mode);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  long long handle_;
};

// RunReshape while another process holds the file at path in the given mode.
inline RunResult RunReshapeWhileHeld(const std::string& path, HeldFile::Mode mode,
                                     const std::string& directory,
                                     const std::vector<std::string>& arguments) {
  HeldFile held(path, mode);
  return RunReshape(directory, arguments);
}

// A binary form file made from its text form by reshape's own compiler, with no rules.
std::string CompileFormText(const std::string& text);

// The failure report's code address replaced by "ADDRESS", so reports compare exactly.
std::string MaskAddress(const std::string& output);

// The failure report of the reshape under test, with its address masked.
std::string Report(const std::string& kind, const std::string& message);

}  // namespace reshape::e2e
