// The system's file operations where only a real file system shows what they do.
#include "platform/system_file_system.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "base/errors.h"

namespace reshape::platform {
namespace {

// A limit on the size of files the process writes cuts a log write short, as a full disk does.
TEST(SystemFileSystemTest, LogWriteCutShortLeavesTheLogAsItWas) {
  const auto log = std::filesystem::temp_directory_path() / ("reshape-cut-short-" + std::to_string(::getpid()) + ".LOG");
  std::ofstream(log, std::ios::binary) << "A> x\r\n";
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited{10, old.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::int64_t end = 0;
  const int code = SystemFileSystem().AppendToTextFile(log.string(), "", std::string(100, 'y'), end);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(code, kDiskFull);
  EXPECT_EQ(std::filesystem::file_size(log), 6u);  // "A> x" and its line break, as before
  std::filesystem::remove(log);
}

}  // namespace
}  // namespace reshape::platform
