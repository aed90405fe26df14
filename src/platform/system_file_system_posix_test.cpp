// The system's file operations where only a real file system shows what they do.
#include "platform/system_file_system.h"

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "base/errors.h"

namespace reshape::platform {
namespace {

// A limit on the size of files the process writes cuts a log write short, as a full disk does.
TEST(SystemFileSystemTest, LogWriteCutShortLeavesTheLogAsItWas) {
  const std::string log = (std::filesystem::temp_directory_path() /
                           ("reshape-cut-short-" + std::to_string(::getpid()) + ".LOG")).string();
  std::ofstream(log, std::ios::binary) << "A> x\r\n";
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited = old;
  limited.rlim_cur = 10;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::int64_t end = 0;
  int code = SystemFileSystem().AppendToLog(log, std::string(100, 'y'), end);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(code, kErrorDiskFull);
  std::stringstream bytes;
  bytes << std::ifstream(log, std::ios::binary).rdbuf();
  EXPECT_EQ(bytes.str(), "A> x\r\n");
  std::filesystem::remove(log);
}

}  // namespace
}  // namespace reshape::platform
