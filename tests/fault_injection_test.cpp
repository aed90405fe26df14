// Makes every single file operation of a realistic run fail in turn, and proves that no failure
// loses data: each of the user's files is either untouched or completely converted (a form
// with its old bytes in its backup), no scratch file is left, the log holds only whole lines,
// and the run ends with a failure (or, where the failed operation did not matter, completes).
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

  std::vector<DirEntry> List(std::string_view mask) override { return real_.List(mask); }
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override {
    if (!Fails()) return real_.ReadFile(name, purpose, bytes);
    return {count_ % 2 != 0 ? kErrorAccessDenied : 31, count_ % 2 == 0};
  }
  IoResult WriteFile(const std::string& name, std::string_view bytes,
                     std::unique_ptr<Held>* held) override {
    if (!Fails()) return real_.WriteFile(name, bytes, held);
    if (count_ % 2 != 0) return {kErrorAccessDenied, false};
    real_.WriteFile(name, bytes.substr(0, bytes.size() / 2), held);
    return {kErrorDiskFull, true};
  }
  int ReplaceFile(const std::string& source, const std::string& target) override {
    return Fails() ? kErrorSharingViolation : real_.ReplaceFile(source, target);
  }
  int DeleteFile(const std::string& name) override { return Fails() ? 31 : real_.DeleteFile(name); }
  FileTarget Target(const std::string& name) override { return real_.Target(name); }
  int AppendToLog(const std::string& name, std::string_view bytes) override {
    return Fails() ? kErrorDiskFull : real_.AppendToLog(name, bytes);
  }
  int LockDirectory(const std::string& directory, std::unique_ptr<Held>& lock) override {
    return Fails() ? kErrorSharingViolation : real_.LockDirectory(directory, lock);
  }

 private:
  bool Fails() { return ++count_ == failAt_; }

  platform::SystemFileSystem real_;
  long failAt_;
  long count_ = 0;
};

class NoConsole : public Console {
 public:
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
std::pair<Tree, bool> RunOnce(FileSystem& files, const Tree& tree = kUserFiles) {
  TempDir dir;
  for (const auto& [name, bytes] : tree) dir.Write(name, bytes);
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  bool failed = false;
  NoConsole console;
  try {
    Run({"job.scr"}, "", console, files);
  } catch (const Exception&) {
    failed = true;
  }
  std::filesystem::current_path(previous);
  Tree after;
  for (const std::string& name : dir.List()) after[name] = dir.Read(name);
  return {after, failed};
}

TEST(FaultInjection, NoFailureAtAnyOperationLosesData) {
  FailingFileSystem counting(0);
  const Tree complete = RunOnce(counting).first;
  ASSERT_GT(counting.Operations(), 30);
  // A unit source is rewritten twice: by the source pass and again by the unit pass.
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
    for (const auto& [name, before] : kUserFiles) {
      const std::string now = after.count(name) ? after[name] : "<missing>";
      if (name == "job.LOG") {
        // Whole lines of the complete run's log.
        EXPECT_TRUE(complete.at(name).starts_with(now) && now.ends_with("\r\n")) << now;
      } else {
        EXPECT_TRUE(now == before || now == complete.at(name) || now == afterSourcePass.at(name))
            << name << " is half written: " << now;
      }
      if (now != before && name.ends_with(".DFM")) {
        EXPECT_EQ(after[name.substr(0, name.size() - 4) + ".dfb"], before) << name;
      }
    }
  }
  EXPECT_GT(failedRuns, counting.Operations() / 2);
}

}  // namespace
}  // namespace reshape::e2e
