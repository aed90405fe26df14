#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "e2e_harness.h"
#include "platform/windows_api.h"

#include <psapi.h>

namespace reshape::e2e {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A run that has not ended by then is stopped, so a hung child fails its test instead of
// holding up the whole suite.
constexpr DWORD kRunTimeoutMs = 10 * 60 * 1000;

constexpr int kStartAttempts = 3;

// Inheritable handles exist only while this is held, so that a child started meanwhile by
// another test thread cannot inherit them and keep a pipe open past its own run.
std::mutex processStart;

RunResult RunProcess(const std::string& directory, const std::string& executable,
                     std::string commandLine) {
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  std::unique_lock<std::mutex> starting(processStart);
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) throw std::runtime_error("pipe failed");
  UniqueHandle reader(readEnd), writer(writeEnd);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  UniqueHandle input(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = writeEnd;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  // Wine on a busy machine now and then fails to start a process; a few tries ride that out.
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessA(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                         nullptr, directory.c_str(), &startup, &process))
      break;
    DWORD error = ::GetLastError();
    if (attempt == kStartAttempts)
      throw std::runtime_error("cannot start " + executable + ": error " + std::to_string(error));
    std::fprintf(stderr, "starting %s failed with error %lu; trying again\n", executable.c_str(),
                 static_cast<unsigned long>(error));
    ::Sleep(1000);
  }
  UniqueHandle processHandle(process.hProcess), thread(process.hThread);
  writer.reset();
  input.reset();
  starting.unlock();

  bool timedOut = false;
  std::thread watchdog([&] {
    if (::WaitForSingleObject(process.hProcess, kRunTimeoutMs) == WAIT_TIMEOUT) {
      timedOut = true;
      ::TerminateProcess(process.hProcess, 255);
    }
  });
  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
    result.Output.append(buffer, got);
  watchdog.join();
  if (timedOut) result.Output += "\n[stopped: the run did not end in time]\n";
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  PROCESS_MEMORY_COUNTERS memory{};
  // Wine reports nothing for a process that has ended: no figure rather than a false zero.
  if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) &&
      memory.PeakWorkingSetSize != 0)
    result.PeakMemoryKb = static_cast<long>(memory.PeakWorkingSetSize / 1024);
  result.ExitCode = static_cast<int>(exitCode);
  return result;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string ReshapeExecutable() {
  // reshape.exe is built beside the test executable.
  char path[MAX_PATH * 4];
  DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  std::string self(path, length);
  return self.substr(0, self.find_last_of("\\/") + 1) + "reshape.exe";
}

RunResult RunReshape(const std::string& directory, const std::vector<std::string>& arguments,
                     const std::string& executable) {
  // Every argument quoted whole: the test arguments hold no double quotes.
  std::string commandLine = Quoted(executable);
  for (const std::string& argument : arguments) commandLine.append(" ").append(Quoted(argument));
  return RunProcess(directory, executable, commandLine);
}

RunResult RunReshapeCommandLine(const std::string& directory, const std::string& arguments) {
  std::string executable = ReshapeExecutable();
  return RunProcess(directory, executable, Quoted(executable) + " " + arguments);
}

// "Reading" shares reading only; "exclusive" shares nothing.
HeldFile::HeldFile(const std::string& path, Mode mode) {
  HANDLE file = ::CreateFileA(path.c_str(),
                              mode == Mode::Reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                              mode == Mode::Reading ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  handle_ = reinterpret_cast<long long>(file);
}

HeldFile::~HeldFile() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

}  // namespace reshape::e2e
