#include "source/project_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

struct ProjectCase {
  std::string input;
  std::string output;
  std::vector<std::string> log;
};

TEST(ProjectLineTransformTest, ReplacesPackageNamesAsPlainText) {
  const std::string script = "PKGR>Pkg50,Pkg60\r\nPKGR>Pkg60,\r\nRENS>Pkg,X\r\nPKGR>,x";
  const std::string first = "F> Renamed/Replaced package \"Pkg50\" to \"Pkg60\"";
  const std::string second = "F> Renamed/Replaced package \"Pkg60\" to \"\"";
  const std::vector<ProjectCase> cases = {
      {"a Pkg50 b pkg50", "a  b pkg50\r\n", {first, second}},
      {"xPKG60x 'q' { (*", "xx 'q' { (*\r\n", {second}},
      {"none", "none\r\n", {}},
  };
  for (const ProjectCase& c : cases) {
    test::RewriteResult result = test::Rewrite<ProjectLineTransform>(script, c.input);
    EXPECT_EQ(result.text, c.output) << c.input;
    EXPECT_EQ(result.log, c.log) << c.input;
  }
}

}  // namespace
}  // namespace reshape
