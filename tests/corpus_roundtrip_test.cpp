// Round trips over the real-world corpus (skipped when it is absent): binary forms go to text
// and are compiled back; a line may differ only where the text form cannot say it otherwise.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/test_stream_builder.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"

namespace reshape {
namespace {

namespace fs = std::filesystem;
using e2e::CompileFormText;
using e2e::ReadWholeFile;

std::string ToText(const std::string& formFile) {
  // The stream ends with the root: nothing of the file is left unread.
  std::size_t headerSize = SkipResourceHeader(formFile), consumed = 0;
  std::string text = FormStreamToText(formFile.substr(headerSize), CodePage(), &consumed);
  EXPECT_EQ(headerSize + consumed, formFile.size());
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void ForEachCorpusFile(const char* sub, const std::function<void(const std::string&)>& check) {
  fs::path dir = e2e::CorpusDir() / sub;
  if (!fs::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  for (const auto& path : e2e::FilesUnder(dir)) {
    SCOPED_TRACE(path.string());
    check(ReadWholeFile(path));
  }
}

TEST(CorpusRoundTrip, BinaryFormsSurviveTheirText) {
  ForEachCorpusFile("binary", [](const std::string& original) {
    const std::string text = ToText(original);
    const std::string compiled = CompileFormText(text);
    // Headers agree but for the size field.
    const std::size_t headerSize = SkipResourceHeader(original);
    EXPECT_EQ(original.substr(0, headerSize - 4), compiled.substr(0, headerSize - 4));
    // Single and double floats come back as extended ones and lose their letter; from then on
    // the text changes no more.
    const std::string again = ToText(compiled);
    std::vector<std::string> before = Lines(text), after = Lines(again);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && before[i] != after[i] + "d" && before[i] != after[i] + "s")
        ADD_FAILURE() << "line " << i + 1 << ":\n  " << before[i] << "\n  " << after[i];
    EXPECT_EQ(ToText(CompileFormText(again)), again);
  });
}

}  // namespace
}  // namespace reshape
