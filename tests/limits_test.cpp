// Hostile sizes through the real executable: each input either works within memory
// proportional to its size or fails cleanly and at once. Heavy, so they run only when
// RESHAPE_LIMIT_TESTS=1 (continuous integration sets it).
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "e2e_harness.h"
#include "forms/test_stream_builder.h"

namespace reshape::e2e {
namespace {

constexpr long kMiB = 1024 * 1024;

class LimitsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* enabled = std::getenv("RESHAPE_LIMIT_TESTS");
    if (enabled == nullptr || std::string(enabled) != "1") GTEST_SKIP() << "set RESHAPE_LIMIT_TESTS=1";
  }
};

// Checks the run's peak memory where the platform can measure it, and shows it.
void ExpectPeakMemoryBelow(const RunResult& run, long limitKb, const std::string& what) {
  if (run.PeakMemoryKb < 0) {
    std::printf("%s: peak memory not measurable here\n", what.c_str());
    return;
  }
  EXPECT_LT(run.PeakMemoryKb, limitKb) << what;
  std::printf("%s: peak memory %ld MB\n", what.c_str(), run.PeakMemoryKb / 1024);
}

TEST_F(LimitsE2E, HugeLengthFieldFailsAtOnce) {
  TempDir dir;
  std::string stream = test::FormBytes().Signature().Object("TForm1", "Form1").Prop("Caption")
                           .Byte(TagLongString).U32(1u << 30).Raw("short").Bytes();
  dir.Write("job.scr", "RENS>a,b\r\n");
  dir.Write("A.DFM", test::FormFile("TFORM1", stream));
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EReadError", "Stream read error."));
  ExpectPeakMemoryBelow(run, 64 * 1024, "huge length field");
}

TEST_F(LimitsE2E, DeepNestingFailsCleanly) {
  TempDir dir;
  test::FormBytes lists;
  lists.Signature().Object("TForm1", "Form1").Prop("Items");
  for (int i = 0; i < 100000; ++i) lists.Byte(TagList);
  dir.Write("job.scr", "RENS>a,b\r\n");
  dir.Write("A.DFM", test::FormFile("TFORM1", lists.Bytes()));
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EReadError", "Nesting too deep."));

  test::FormBytes objects;
  objects.Signature();
  for (int i = 0; i < 100000; ++i) objects.Object("TPanel", "P").End();
  dir.Write("A.DFM", test::FormFile("TPANEL", objects.Bytes()));
  run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(MaskAddress(run.Output), "A.DFM ..." + Report("EReadError", "Nesting too deep."));
}

TEST_F(LimitsE2E, HundredMegabyteFormFile) {
  TempDir dir;
  std::string data(100 * kMiB, '\x5A');
  std::string stream = test::FormBytes().Signature().Object("TImage", "Image1").Prop("Picture.Data")
                           .Byte(TagBinary).U32(static_cast<std::uint32_t>(data.size())).Raw(data)
                           .End().End().Bytes();
  data.clear();
  data.shrink_to_fit();
  std::string form = test::FormFile("TIMAGE", stream);
  stream.clear();
  stream.shrink_to_fit();
  dir.Write("job.scr", "RENC>TImage,TPicture\r\n");
  dir.Write("A.DFM", form);
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, "A.DFM ...Converted\n");
  EXPECT_EQ(dir.Read("A.dfb"), form);
  // The form, its text (twice its size in hexadecimal) and the compiled form.
  ExpectPeakMemoryBelow(run, 8 * 100 * 1024, "100 MB form");
}

TEST_F(LimitsE2E, HundredMegabyteSourceLine) {
  TempDir dir;
  std::string line;
  line.reserve(100 * kMiB + 16);
  while (line.size() < 100 * kMiB) line += "TFoo x;";
  dir.Write("job.scr", "RENC>TFoo,TBar\r\nRENS>x;,y;\r\nRENU>Forms,NewForms\r\n");
  dir.Write("A.PAS", line);
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.Output, "A.PAS...Converted\nA.PAS...No change\n");
  std::string expected = "TBar y;" + line.substr(7) + "\r\n";
  EXPECT_EQ(dir.Read("A.PAS"), expected);
  // The file's bytes, the line and the rewritten line: in both passes the words are looked up
  // as they are scanned, with no copy of the line's words.
  ExpectPeakMemoryBelow(run, 4 * 100 * 1024, "100 MB line");
}

// 100,000 files by default; RESHAPE_LIMIT_FILES sets another number (the run is bound by the
// disk: every file is created, written and renamed).
TEST_F(LimitsE2E, HundredThousandFilesInOneDirectory) {
  const char* count = std::getenv("RESHAPE_LIMIT_FILES");
  const int files = count != nullptr ? std::atoi(count) : 100000;
  ASSERT_GT(files, 2);
  TempDir dir;
  auto unitName = [](int i) {
    std::string name = std::to_string(i);
    name.insert(0, 1, 'U');
    return name.append(".PAS");
  };
  for (int i = 0; i < files; ++i) std::ofstream(dir / unitName(i), std::ios::binary) << "TFoo\r\n";
  dir.Write("job.scr", "RENC>TFoo,TBar\r\n");
  RunResult run = RunReshape(dir.Path(), {"job.scr"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(dir.Read(unitName(files - 1)), "TBar\r\n");
  EXPECT_EQ(run.Output.substr(0, 21), "U0.PAS...Converted\nU1");
  ExpectPeakMemoryBelow(run, 256 * 1024, std::to_string(files) + " files");
}

}  // namespace
}  // namespace reshape::e2e
