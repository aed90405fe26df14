// Converts the binary form files of the real-world corpus that hold values this format does not
// define: each must fail cleanly (the supported ones go through the round trip tests).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "corpus_files.h"
#include "forms/form_to_text.h"
#include "base/errors.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

using e2e::CorpusDir;
using e2e::FilesUnder;

TEST(CorpusToTextTest, UnsupportedBinaryFormsFailCleanly) {
  fs::path dir = CorpusDir() / "binary-unsupported";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  std::vector<fs::path> files = FilesUnder(dir);
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    try {
      FormFileToText(e2e::ReadWholeFile(path), CodePage());
      ADD_FAILURE() << "converted although it holds values of undefined tags";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Invalid property value");
    }
  }
}

}  // namespace
}  // namespace reshape
