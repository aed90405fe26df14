// Makes each file operation of a realistic run fail in turn: every user file stays untouched or
// is completely converted (a form with its old bytes in its backup), no scratch file is left,
// and the log lists exactly the files converted on disk.
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "base/errors.h"
#include "driver/run.h"
#include "e2e_harness.h"
#include "platform/system_file_system.h"

namespace reshape::e2e {
namespace {

using Tree = std::map<std::string, std::string>;

// Passes every operation on to the real file system, except the one numbered failAt (from 1),
// which fails as the disk would: an open that fails does nothing, a write that fails after
// the file was created leaves half of it. Odd operations fail at the open, even ones later.
class FailingFileSystem : public FileSystem {
 public:
  explicit FailingFileSystem(long failAt) : failAt_(failAt) {}
  long Operations() const { return count_; }

  bool List(const std::string& directory, std::span<const std::string_view> masks,
            bool subdirectories, std::vector<DirEntry>& entries) override {
    return real_.List(directory, masks, subdirectories, entries);
  }
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override {
    if (!Fails()) return real_.ReadFile(name, purpose, bytes);
    return {count_ % 2 != 0 ? kAccessDenied : kDeviceFailure, count_ % 2 == 0};
  }
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>& held) override {
    if (!Fails()) return real_.WriteFile(name, bytes, held);
    if (count_ % 2 != 0) return {kAccessDenied, false};
    real_.WriteFile(name, bytes.substr(0, bytes.size() / 2), held);
    return {kDiskFull, true};
  }
  int ReplaceFile(const std::string& source, const std::string& target) override {
    return Fails() ? kSharingViolation : real_.ReplaceFile(source, target);
  }
  int DeleteFile(const std::string& name) override {
    if (!Fails()) return real_.DeleteFile(name);
    failedDelete_ = true;
    return kDeviceFailure;
  }
  bool FailedDelete() const { return failedDelete_; }
  int LinkFile(const std::string& existing, const std::string& link) override {
    return Fails() ? 31 : real_.LinkFile(existing, link);
  }
  FileTarget Target(const std::string& name) override { return real_.Target(name); }
  int AppendToTextFile(const std::string& name, const std::string& from, std::string_view bytes,
                       std::int64_t& end) override {
    return Fails() ? kDiskFull : real_.AppendToTextFile(name, from, bytes, end);
  }
  int AppendToFile(const std::string& name, std::string_view bytes) override {
    return Fails() ? kDiskFull : real_.AppendToFile(name, bytes);
  }
  int TruncateFile(const std::string& name, std::int64_t size) override {
    return Fails() ? kDeviceFailure : real_.TruncateFile(name, size);
  }
  int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) override {
    return Fails() ? kSharingViolation : real_.LockDirectory(directory, lock);
  }

 private:
  bool Fails() { return ++count_ == failAt_; }

  platform::SystemFileSystem real_;
  long failAt_;
  long count_ = 0;
  bool failedDelete_ = false;
};

struct NoConsole : Console {
  void Write(std::string_view) override {}
};

const Tree kUserFiles = {
    {"job.scr",
     "RENC>TOldPanel,TPanelEx\r\nRENS>Hello,Goodbye\r\nRENU>OldUnit,NewUnit\r\n"
     "PKGR>pkg50,pkg60\r\nRENP>Caption,Text\r\nDELP>TabOrder\r\n"
     "PSET>TPanelEx:Ctl3D=False,Options[poFlat]\r\n"},
    {"job.LOG", "EARLIER.PAS> Renamed class \"A\" to \"B\"\r\n"},
    {"A.PAS", "unit OldUnit;\r\nuses OldUnit;\r\nvar P: TOldPanel; s := 'Hello';\r\n"},
    {"B.CPP", "TOldPanel* p;\r\n"},
    {"C.H", "nothing\r\n"},
    {"D.DPK", "package D;\r\nuses OldUnit;\r\n"},
    {"P.BPR", "<PACKAGES value=\"pkg50.bpi\"/>\r\n"},
    {"F1.DFM", CompileFormText("object Form1: TForm1\r\n  Caption = 'x'\r\n  TabOrder = 1\r\n"
                               "  object Panel1: TOldPanel\r\n    Ctl3D = False\r\n  end\r\nend\r\n")},
    {"F2.DFM", CompileFormText("object Form2: TForm2\r\n  Left = 1\r\nend\r\n")},
};

// One run in this process on a fresh copy of the files; every file afterwards, and whether
// the run failed.
// An all-or-nothing run holds at most stagingMemory bytes in memory.
std::pair<Tree, bool> RunOnce(FileSystem& files, const Tree& tree = kUserFiles,
                              bool atomic = false, std::size_t stagingMemory = 0) {
  TempDir dir;
  for (const auto& [name, bytes] : tree) dir.Write(name, bytes);
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  bool failed = false;
  NoConsole console;
  Options options;
  options.arguments = {"job.scr"};
  options.atomic = atomic;
  try {
    Run(options, {"", "reshape", dir.Path() + "/staged-", stagingMemory}, console, files);
  } catch (const Failure& failure) {
    failed = true;
    EXPECT_TRUE(failure.TreeRestored());
  }
  std::filesystem::current_path(previous);
  Tree after;
  for (const std::string& name : dir.List()) after[name] = dir.Read(name);
  return {after, failed};
}

// A log's lines, cut into runs of lines of one file.
std::vector<std::string> Blocks(const std::string& log) {
  std::vector<std::string> blocks;
  std::string lastName;
  for (std::size_t start = 0, end; start < log.size(); start = end) {
    end = log.find("\r\n", start) + 2;
    std::string name = log.substr(start, log.find("> ", start) - start);
    if (blocks.empty() || name != lastName) blocks.emplace_back();
    blocks.back() += log.substr(start, end - start);
    lastName = name;
  }
  return blocks;
}

TEST(FaultInjection, NoFailureAtAnyOperationLosesData) {
  FailingFileSystem counting(0);
  const Tree complete = RunOnce(counting).first;
  ASSERT_GT(counting.Operations(), 30);
  const std::string earlierLog = kUserFiles.at("job.LOG");
  const std::vector<std::string> blocks = Blocks(complete.at("job.LOG").substr(earlierLog.size()));
  std::map<std::string, int> blocksOf;  // a unit source has two: the source and the unit pass
  for (const std::string& block : blocks) ++blocksOf[block.substr(0, block.find('>'))];
  Tree sourcePass = kUserFiles;
  sourcePass["job.scr"] = "RENC>TOldPanel,TPanelEx\r\nRENS>Hello,Goodbye\r\n";
  FailingFileSystem real(0);
  const Tree afterSourcePass = RunOnce(real, sourcePass).first;

  long failedRuns = 0;
  for (long at = 1; at <= counting.Operations(); ++at) {
    SCOPED_TRACE("failing operation " + std::to_string(at));
    FailingFileSystem failing(at);
    auto [after, failed] = RunOnce(failing);
    if (!failed) {
      EXPECT_EQ(after, complete);
      continue;
    }
    ++failedRuns;
    for (const auto& [name, bytes] : after)
      EXPECT_TRUE(kUserFiles.count(name) || name.ends_with(".dfb") || name.ends_with(".dft")) << name;
    // The log holds whole files' lines of the complete run, and exactly those of the files
    // that are converted on disk.
    const std::string log = after["job.LOG"];
    ASSERT_TRUE(log.starts_with(earlierLog)) << log;
    std::map<std::string, int> logged;
    std::size_t end = earlierLog.size();
    for (const std::string& block : blocks) {
      if (log.compare(end, block.size(), block) != 0) break;
      end += block.size();
      ++logged[block.substr(0, block.find('>'))];
    }
    EXPECT_EQ(end, log.size()) << "part of a file's lines: " << log;
    for (const auto& [name, before] : kUserFiles) {
      if (name == "job.LOG") continue;
      const int n = logged[name];
      const Tree& expected = n == 0 ? kUserFiles : n == blocksOf[name] ? complete : afterSourcePass;
      EXPECT_EQ(after.count(name) ? after[name] : "<missing>", expected.at(name)) << name;
      if (n > 0 && name.ends_with(".DFM")) {
        EXPECT_EQ(after[name.substr(0, name.size() - 4) + ".dfb"], before) << name;
      }
    }
  }
  EXPECT_GT(failedRuns, counting.Operations() / 2);
}

// An all-or-nothing run fails at any operation, also while putting the files in place, with
// every file as it was and nothing added; with its staged files in memory, and in scratch files.
TEST(FaultInjection, AllOrNothingRunLeavesEveryFileAsItWas) {
  FailingFileSystem plain(0);
  const Tree complete = RunOnce(plain).first;
  for (std::size_t stagingMemory : {std::size_t{1} << 20, std::size_t{200}}) {
    FailingFileSystem counting(0);
    EXPECT_EQ(RunOnce(counting, kUserFiles, true, stagingMemory).first, complete);
    for (long at = 1; at <= counting.Operations(); ++at) {
      SCOPED_TRACE("failing operation " + std::to_string(at) + " of " +
                   std::to_string(counting.Operations()));
      FailingFileSystem failing(at);
      auto [after, failed] = RunOnce(failing, kUserFiles, true, stagingMemory);
      // A scratch file that could not be removed stays behind: the one thing a failed removal
      // may leave.
      if (failing.FailedDelete())
        std::erase_if(after, [](const auto& entry) { return entry.first.starts_with("staged-"); });
      EXPECT_EQ(after, failed ? kUserFiles : complete);
    }
  }
}

}  // namespace
}  // namespace reshape::e2e
