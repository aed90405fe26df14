// The demo tree in examples/: its binary forms are the compiled text forms kept beside them.
#include <gtest/gtest.h>

#include "corpus_files.h"
#include "e2e_harness.h"

namespace reshape::e2e {
namespace {

const std::string kExamples = std::string(RESHAPE_SOURCE_DIR) + "/examples";

TEST(DemoTest, BinaryFormsAreTheCompiledTextForms) {
  for (const char* form : {"Main", "About"}) {
    EXPECT_EQ(CompileFormText(ReadWholeFile(kExamples + "/form-texts/" + form + ".dfm.txt")),
              ReadWholeFile(kExamples + "/demo/" + form + ".dfm"))
        << form;
  }
}

}  // namespace
}  // namespace reshape::e2e
