// Hostile sizes through the real executable: each input either works within memory
// proportional to its size or fails cleanly and at once. Heavy, so they run only when
// RESHAPE_LIMIT_TESTS=1 (continuous integration sets it).
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "forms/test_stream_builder.h"

namespace reshape::e2e {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

class LimitsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* enabled = std::getenv("RESHAPE_LIMIT_TESTS");
    if (enabled == nullptr || std::string(enabled) != "1") GTEST_SKIP() << "set RESHAPE_LIMIT_TESTS=1";
  }

  // Runs the script on one file and checks the console and the run's peak memory.
  void Run(const std::string& script, const std::string& name, const std::string& bytes, const std::string& output,
           long limitMb) {
    dir.Write("job.scr", script);
    dir.Write(name, bytes);
    RunResult run = RunReshape(dir.Path(), {"job.scr"});
    EXPECT_EQ(MaskAddress(run.Output), output);
    EXPECT_LT(run.PeakMemoryKb, limitMb * 1024) << name;  // -1 where the platform cannot measure it
  }

  TempDir dir;
};

TEST_F(LimitsE2E, HugeLengthFieldFailsAtOnce) {
  Run("RENS>a,b\r\n", "A.DFM", test::FormFile("TFORM1", test::FormBytes().Signature().Object("TForm1", "Form1")
                                                            .Prop("Caption").Byte(TagLongString).U32(1u << 30).Raw("short")),
      "A.DFM ..." + Report("EReadError", "Stream read error."), 64);
}

// The form, its text (twice its size in hexadecimal) and the compiled form.
TEST_F(LimitsE2E, HundredMegabyteFormFile) {
  const std::string form = test::FormFile(
      "TIMAGE", test::FormBytes().Signature().Object("TImage", "Image1").Prop("Picture.Data")
                    .Binary(std::string(100 * kMiB, '\x5A')).End().End());
  Run("RENC>TImage,TPicture\r\n", "A.DFM", form, "A.DFM ...Converted\n", 450);
  EXPECT_EQ(dir.Read("A.dfb"), form);
}

TEST_F(LimitsE2E, HundredMegabyteSourceLine) {
  std::string line;
  while (line.size() < 100 * kMiB) line += "TFoo x;";
  // The file's bytes, the line and the rewritten line, in both passes.
  Run("RENC>TFoo,TBar\r\nRENS>x;,y;\r\nRENU>Forms,NewForms\r\n", "A.PAS", line,
      "A.PAS...Converted\nA.PAS...No change\n", 400);
  EXPECT_EQ(dir.Read("A.PAS"), "TBar y;" + line.substr(7) + "\r\n");
}

// 100,000 files by default; RESHAPE_LIMIT_FILES sets another number (the run is bound by the
// disk: every file is created, written and renamed).
TEST_F(LimitsE2E, HundredThousandFilesInOneDirectory) {
  const char* count = std::getenv("RESHAPE_LIMIT_FILES");
  std::vector<std::string> names = {"U0.PAS"};
  for (int i = 1; i < (count != nullptr ? std::atoi(count) : 100000); ++i) {
    names.push_back(std::to_string(i).insert(0, 1, 'U').append(".PAS"));
    std::ofstream(dir / names.back()) << "TFoo\r\n";
  }
  ASSERT_GT(names.size(), 2u);
  // Upper-case names: the directory order is the plain byte order.
  std::sort(names.begin(), names.end());
  std::string output;
  for (const std::string& name : names) output += name + "...Converted\n";
  Run("RENC>TFoo,TBar\r\n", "U0.PAS", "TFoo\r\n", output, 256);
  EXPECT_EQ(dir.Read(names.back()), "TBar\r\n");
}

}  // namespace
}  // namespace reshape::e2e
