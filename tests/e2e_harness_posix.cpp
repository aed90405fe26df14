#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "e2e_harness.h"

namespace reshape::e2e {

std::string ReshapeExecutable() { return RESHAPE_EXECUTABLE; }

namespace {

// The words of RESHAPE_TEST_RUNNER, which starts the program in a cross build's tests
// (e.g. "qemu-aarch64 -L /usr/aarch64-linux-gnu"); none when it is not set. Only a reshape
// program (the one built, or a copy of it) goes through it: host programs that a test starts
// instead (a shell, timeout) run as they are.
std::vector<std::string> RunnerWords() {
  std::vector<std::string> words;
  const char* runner = std::getenv("RESHAPE_TEST_RUNNER");
  std::istringstream text(runner != nullptr ? runner : "");
  for (std::string word; text >> word;) words.push_back(word);
  return words;
}

}  // namespace

RunResult RunReshape(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::string& executable) {
  int pipeFds[2];
  int errorFds[2];
  // Close-on-exec, so that a child started meanwhile by another test thread does not keep this
  // pipe open past this run.
  if (::pipe2(pipeFds, O_CLOEXEC) != 0 || ::pipe2(errorFds, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe failed");
  std::vector<std::string> words;
  if (std::filesystem::path(executable).filename() == ModuleName()) words = RunnerWords();
  const bool throughRunner = !words.empty();
  words.push_back(executable);
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::dup2(errorFds[1], STDERR_FILENO);
    int devNull = ::open("/dev/null", O_RDONLY);
    ::dup2(devNull, STDIN_FILENO);
    if (::chdir(directory.c_str()) != 0) ::_exit(127);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  ::close(errorFds[1]);
  RunResult result;
  // Standard error holds a few lines at most, so it is read after standard output has ended.
  for (auto [fd, text] : {std::pair{pipeFds[0], &result.Output}, {errorFds[0], &result.Errors}}) {
    char buffer[4096];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        text->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        break;
      }
    }
    ::close(fd);
  }
  int status = 0;
  struct rusage usage{};
  ::wait4(child, &status, 0, &usage);
  // Through a runner, the peak is the emulator's, not reshape's.
  result.PeakMemoryKb = throughRunner ? -1 : usage.ru_maxrss;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

// reshape takes the same advisory locks: a shared one to read, an exclusive one otherwise.
HeldFile::HeldFile(const std::string& path, Mode mode) {
  int fd = ::open(path.c_str(), mode == Mode::Reading ? O_RDONLY : O_RDWR);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  if (::flock(fd, mode == Mode::Reading ? LOCK_SH : LOCK_EX) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot lock " + path);
  }
  handle_ = fd;
}

HeldFile::~HeldFile() { ::close(static_cast<int>(handle_)); }

}  // namespace reshape::e2e
