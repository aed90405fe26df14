// The change log's collected lines, held in memory or spilled to a scratch file beside the log,
// reach the log in order and in one append; the spill file does not outlive the file's commit.
#include "driver/change_log.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "driver/staged_file_system.h"
#include "platform/system_file_system.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// A log holding one line, and beside it the stale spill file of a killed run, which never
// reaches the log.
struct LogDir {
  LogDir() {
    fs::create_directories(dir);
    std::ofstream(log, std::ios::binary) << "OLD.PAS> x\r\n";
    std::ofstream(spill, std::ios::binary) << "STALE> y\r\n";
  }
  ~LogDir() { fs::remove_all(dir); }
  const fs::path dir = fs::temp_directory_path() / ("reshape-log-" + std::to_string(::getpid()));
  const fs::path log = dir / "JOB.LOG", spill = dir / "JOB.LOG.XXX";
};

// Also through a staged file system, which holds the lines back until its own commit, in
// memory or in scratch files.
TEST(ChangeLogSpillTest, LinesReachTheLogInOrderWhereverTheyWereHeld) {
  struct Row {
    std::size_t spillBytes;
    std::optional<std::size_t> stagingMemory;
    bool staleSpillLeft;  // nothing was spilled, so the stale file was never touched
  };
  for (const Row& row : {Row{1 << 20, {}, true}, Row{1, {}, false}, Row{40, {}, false}, Row{1, 1 << 20, true},
                         Row{40, 0, true}}) {
    LogDir dir;
    platform::SystemFileSystem system;
    std::optional<StagedFileSystem> staged;
    if (row.stagingMemory)
      staged.emplace(system, (dir.dir / "staged-").string(), *row.stagingMemory, Staging::AllOrNothing);
    {
      FileChangeLog log(staged ? static_cast<FileSystem&>(*staged) : system, dir.log.string(), row.spillBytes);
      for (char n = '1'; n <= '5'; ++n) log.LogChange("a.pas", std::string("Renamed ") + n);
      bool putInPlace = false;
      log.Commit([&] { putInPlace = true; });
      EXPECT_TRUE(putInPlace);
    }
    Console console;
    if (staged) staged->Commit(console);
    EXPECT_EQ(fs::exists(dir.spill), row.staleSpillLeft) << row.spillBytes;
    EXPECT_EQ(Read(dir.log), "OLD.PAS> x\r\nA.PAS> Renamed 1\r\nA.PAS> Renamed 2\r\nA.PAS> Renamed 3\r\n"
                             "A.PAS> Renamed 4\r\nA.PAS> Renamed 5\r\n") << row.spillBytes;
    staged.reset();
    EXPECT_FALSE(fs::exists(dir.dir / "staged-1.tmp"));
  }
}

TEST(ChangeLogSpillTest, FailedPutInPlaceTakesBackTheSpilledLines) {
  LogDir dir;
  platform::SystemFileSystem system;
  FileChangeLog log(system, dir.log.string(), 1);
  log.LogChange("a.pas", "Renamed 1");
  log.LogChange("a.pas", "Renamed 2");
  EXPECT_THROW(log.Commit([] { throw std::runtime_error("replace failed"); }), std::runtime_error);
  EXPECT_EQ(Read(dir.log), "OLD.PAS> x\r\n");
  EXPECT_FALSE(fs::exists(dir.spill));
}

}  // namespace
}  // namespace reshape
