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
// which fails as the disk would: an open that fails leaves nothing; a write that fails after
// the file was created leaves half of it written.
class FailingFileSystem : public FileSystem {
 public:
  explicit FailingFileSystem(long failAt) : failAt_(failAt) {}
  long Operations() const { return count_; }

  std::vector<DirEntry> List(std::string_view mask) override { return real_.List(mask); }
  IoResult ReadFile(const std::string& name, ReadFor purpose, std::string& bytes) override {
    if (!Fails()) return real_.ReadFile(name, purpose, bytes);
    return count_ % 2 != 0 ? IoResult{kErrorAccessDenied, false} : IoResult{31, true};
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
  int DeleteFile(const std::string& name) override {
    return Fails() ? 31 : real_.DeleteFile(name);
  }
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

struct Outcome {
  bool failed = false;
  Tree files;
};

// One run in a fresh copy of the user's files, in this process.
Outcome RunOnce(FileSystem& files, const Tree& tree = kUserFiles) {
  TempDir dir;
  for (const auto& [name, bytes] : tree) dir.Write(name, bytes);
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  Outcome outcome;
  NoConsole console;
  try {
    Run({"job.scr"}, "", console, files);
  } catch (const Exception&) {
    outcome.failed = true;
  }
  std::filesystem::current_path(previous);
  for (const std::string& name : dir.List()) outcome.files[name] = dir.Read(name);
  return outcome;
}

bool IsLinePrefix(const std::string& log, const std::string& complete) {
  return complete.compare(0, log.size(), log) == 0 &&
         (log.empty() || (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0));
}

TEST(FaultInjection, NoFailureAtAnyOperationLosesData) {
  FailingFileSystem counting(0);
  const Tree complete = RunOnce(counting).files;
  const long operations = counting.Operations();
  ASSERT_GT(operations, 30);
  // A unit source is rewritten twice: by the source pass and again by the unit pass.
  Tree sourcePassScript = kUserFiles;
  sourcePassScript["job.scr"] = "RENC>TOldPanel,TPanelEx\r\nRENS>Hello,Goodbye\r\n";
  platform::SystemFileSystem real;
  const Tree afterSourcePass = RunOnce(real, sourcePassScript).files;

  long failedRuns = 0;
  for (long at = 1; at <= operations; ++at) {
    SCOPED_TRACE("failing operation " + std::to_string(at));
    FailingFileSystem failing(at);
    Outcome run = RunOnce(failing);
    if (!run.failed) {
      EXPECT_EQ(run.files, complete);
      continue;
    }
    ++failedRuns;
    for (const auto& [name, bytes] : run.files) {
      bool sideFile = name.ends_with(".dfb") || name.ends_with(".dft");
      EXPECT_TRUE(kUserFiles.count(name) || sideFile) << name << " is left behind";
    }
    for (const auto& [name, before] : kUserFiles) {
      ASSERT_TRUE(run.files.count(name)) << name << " is missing";
      const std::string& now = run.files[name];
      if (name == "job.LOG") {
        EXPECT_TRUE(IsLinePrefix(now, complete.at(name))) << "log: " << now;
        continue;
      }
      bool converted = now == complete.at(name) || now == afterSourcePass.at(name);
      EXPECT_TRUE(now == before || converted) << name << " is half written: " << now;
      if (now != before && name.ends_with(".DFM")) {
        std::string backup = name.substr(0, name.size() - 4) + ".dfb";
        EXPECT_EQ(run.files.count(backup) ? run.files[backup] : "<missing>", before) << backup;
      }
    }
  }
  EXPECT_GT(failedRuns, operations / 2);
}

}  // namespace
}  // namespace reshape::e2e
