#include "e2e_harness.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "forms/form_compiler.h"
#include "script/run_state.h"

namespace reshape::e2e {

namespace {

class NoLog : public ChangeLogger {
 public:
  void LogChange(std::string_view, std::string_view) override {}
};

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reshape-e2e-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only entries must be writable again before they can be removed.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(*this / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(*this / name, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TempDir::Exists(const std::string& name) const {
  return std::filesystem::exists(*this / name);
}

void TempDir::SetReadOnly(const std::string& name, bool readOnly) const {
  std::filesystem::permissions(*this / name, std::filesystem::perms::owner_write,
                               readOnly ? std::filesystem::perm_options::remove
                                        : std::filesystem::perm_options::add);
}

std::vector<std::string> TempDir::List() const {
  std::vector<std::string> names;
  for (auto& entry : std::filesystem::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

RunResult RunReshape(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment, const std::string& executable) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    int devNull = ::open("/dev/null", O_RDONLY);
    ::dup2(devNull, STDIN_FILENO);
    if (::chdir(directory.c_str()) != 0) ::_exit(127);
    for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(executable.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  RunResult result;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n > 0) {
      result.Output.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(pipeFds[0]);
  int status = 0;
  struct rusage usage{};
  ::wait4(child, &status, 0, &usage);
  result.PeakMemoryKb = usage.ru_maxrss;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::string CompileFormText(const std::string& text) {
  CommandList none;
  NoLog log;
  RunState run(none, log);
  PendingSetList pending;
  FormCompileContext context(run, pending);
  TMemoryStream input(text), output;
  WriteFormFile(input, output, context);
  return output.Bytes();
}

std::string MaskAddress(const std::string& output) {
  static const std::regex address(" at [0-9A-F]{8}\\.\n");
  return std::regex_replace(output, address, " at ADDRESS.\n");
}

}  // namespace reshape::e2e
