// The change log's collected lines, held in memory or spilled to a scratch file beside the log,
// reach the log in order and in one append; the spill file does not outlive the file's commit.
#include "driver/change_log.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/system_file_system.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::stringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Wraps the system's file system and keeps the interface's own ways of appending, as a file
// system that only wraps another does.
class WrappingFileSystem : public FileSystem {
 public:
  bool List(const std::string& directory, std::span<const std::string_view> masks,
            bool subdirectories, std::vector<DirEntry>& entries) override {
    return real_.List(directory, masks, subdirectories, entries);
  }
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override {
    return real_.ReadFile(name, purpose, bytes);
  }
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>& held) override {
    return real_.WriteFile(name, bytes, held);
  }
  int ReplaceFile(const std::string& source, const std::string& target) override {
    return real_.ReplaceFile(source, target);
  }
  int DeleteFile(const std::string& name) override { return real_.DeleteFile(name); }
  FileTarget Target(const std::string& name) override { return real_.Target(name); }
  int AppendToLog(const std::string& name, std::string_view bytes, std::int64_t& end) override {
    return real_.AppendToLog(name, bytes, end);
  }
  int CutLog(const std::string& name, std::int64_t size) override {
    return real_.CutLog(name, size);
  }
  int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) override {
    return real_.LockDirectory(directory, lock);
  }

 private:
  platform::SystemFileSystem real_;
};

class ChangeLogSpillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("reshape-log-" + std::to_string(::getpid()));
    log_ = dir_ / "JOB.LOG";
    spill_ = dir_ / "JOB.LOG.XXX";
    fs::create_directories(dir_);
    std::ofstream(log_, std::ios::binary) << "OLD.PAS> x\r\n";
    // A stale spill file of a killed run never reaches the log.
    std::ofstream(spill_, std::ios::binary) << "STALE> y\r\n";
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  fs::path log_;
  fs::path spill_;
};

constexpr const char* kLines = "OLD.PAS> x\r\nA.PAS> Renamed 1\r\nA.PAS> Renamed 2\r\n"
                               "A.PAS> Renamed 3\r\nA.PAS> Renamed 4\r\nA.PAS> Renamed 5\r\n";

TEST_F(ChangeLogSpillTest, LinesReachTheLogInOrderWhereverTheyWereHeld) {
  platform::SystemFileSystem system;
  WrappingFileSystem wrapping;
  struct Row {
    FileSystem* files;
    std::size_t spillBytes;
    bool staleSpillLeft;  // nothing was spilled, so the stale file was never touched
  };
  for (const Row& row : {Row{&system, 1 << 20, true}, Row{&system, 1, false},
                         Row{&system, 40, false}, Row{&wrapping, 1, false},
                         Row{&wrapping, 40, false}}) {
    SetUp();
    {
      FileChangeLog log(*row.files, log_.string(), row.spillBytes);
      for (char n = '1'; n <= '5'; ++n) log.LogChange("a.pas", std::string("Renamed ") + n);
      bool putInPlace = false;
      log.Commit([&] { putInPlace = true; });
      EXPECT_TRUE(putInPlace);
      EXPECT_EQ(fs::exists(spill_), row.staleSpillLeft) << row.spillBytes;
    }
    EXPECT_EQ(Read(log_), kLines) << row.spillBytes;
  }
}

TEST_F(ChangeLogSpillTest, FailedPutInPlaceTakesBackTheSpilledLines) {
  platform::SystemFileSystem system;
  FileChangeLog log(system, log_.string(), 1);
  log.LogChange("a.pas", "Renamed 1");
  log.LogChange("a.pas", "Renamed 2");
  EXPECT_THROW(log.Commit([] { throw std::runtime_error("replace failed"); }), std::runtime_error);
  EXPECT_EQ(Read(log_), "OLD.PAS> x\r\n");
  EXPECT_FALSE(fs::exists(spill_));
}

}  // namespace
}  // namespace reshape
