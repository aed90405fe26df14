// Converts every binary form file of the real-world corpus to text: the supported ones must
// convert, the ones with values this format does not define must fail cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "corpus_files.h"
#include "forms/form_to_text.h"
#include "platform/errors.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;

using e2e::CorpusDir;
using e2e::FilesUnder;

TEST(CorpusToTextTest, SupportedBinaryFormsConvert) {
  fs::path dir = CorpusDir() / "binary";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  std::vector<fs::path> files = FilesUnder(dir);
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    TMemoryStream in(e2e::ReadWholeFile(path));
    TMemoryStream out;
    try {
      FormFileToText(in, out, CodePage());
    } catch (const Exception& e) {
      ADD_FAILURE() << e.ClassName() << ": " << e.Message();
      continue;
    }
    const std::string& text = out.Bytes();
    EXPECT_TRUE(text.starts_with("object ") || text.starts_with("inherited ") ||
                text.starts_with("inline "));
    EXPECT_TRUE(text.ends_with("\r\nend\r\n"));
    // The stream ends with the root: nothing of the file is left unread.
    EXPECT_EQ(in.Position(), static_cast<std::int64_t>(in.Bytes().size()));
  }
}

TEST(CorpusToTextTest, UnsupportedBinaryFormsFailCleanly) {
  fs::path dir = CorpusDir() / "binary-unsupported";
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  std::vector<fs::path> files = FilesUnder(dir);
  ASSERT_FALSE(files.empty());
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    TMemoryStream in(e2e::ReadWholeFile(path));
    TMemoryStream out;
    try {
      FormFileToText(in, out, CodePage());
      ADD_FAILURE() << "converted although it holds values of undefined tags";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Invalid property value");
      EXPECT_TRUE(out.Bytes().starts_with("object ") || out.Bytes().starts_with("inherited "));
    }
  }
}

}  // namespace
}  // namespace reshape
