// Round trips over the real-world corpus (skipped when it is absent): binary forms go to text
// and are compiled back; a line may differ only where the text form cannot say it otherwise.
#include <gtest/gtest.h>

#include "corpus_files.h"
#include "e2e_harness.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"

namespace reshape::e2e {
namespace {

std::string ToText(const std::string& formFile) {
  // The stream ends with the root: nothing of the file is left unread.
  std::size_t headerSize = SkipResourceHeader(formFile), consumed = 0;
  std::string text = FormStreamToText(formFile.substr(headerSize), CodePage(), &consumed);
  EXPECT_EQ(headerSize + consumed, formFile.size());
  return text;
}

TEST(CorpusRoundTrip, BinaryFormsSurviveTheirText) {
  const auto files = CorpusFiles("binary");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    const std::string original = ReadWholeFile(path), text = ToText(original), compiled = CompileFormText(text);
    // Headers agree but for the size field.
    const std::size_t headerSize = SkipResourceHeader(original);
    EXPECT_EQ(original.substr(0, headerSize - 4), compiled.substr(0, headerSize - 4));
    // Single and double floats come back as extended ones and lose their letter; from then on
    // the text changes no more.
    const std::string again = ToText(compiled);
    const std::vector<std::string> before = Lines(text), after = Lines(again);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i] != after[i] && before[i] != after[i] + "d" && before[i] != after[i] + "s")
        ADD_FAILURE() << "line " << i + 1 << ":\n  " << before[i] << "\n  " << after[i];
    EXPECT_EQ(ToText(CompileFormText(again)), again);
  }
}

}  // namespace
}  // namespace reshape::e2e
