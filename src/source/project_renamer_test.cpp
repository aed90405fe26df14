#include "source/project_renamer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "source/rewrite_test_support.h"

namespace reshape {
namespace {

using test::Rewrite;
using test::RewriteResult;

struct ProjectCase {
  std::string name;
  std::string script;
  std::string input;
  std::string output;
  std::vector<std::string> log;
};

TEST(ProjectLineTransformTest, ReplacesPackageNamesAsPlainText) {
  const std::vector<ProjectCase> cases = {
      {"first occurrence per line", "PKGR>Pkg50,Pkg60", "a Pkg50 b pkg50\r\nPKG50",
       "a Pkg60 b pkg50\r\nPkg60\r\n",
       {"F> Renamed/Replaced package \"Pkg50\" to \"Pkg60\"",
        "F> Renamed/Replaced package \"Pkg50\" to \"Pkg60\""}},
      {"inside a longer name", "PKGR>Pkg,PkgNew", "Pkgx50", "PkgNewx50\r\n",
       {"F> Renamed/Replaced package \"Pkg\" to \"PkgNew\""}},
      {"empty new name removes", "PKGR>Pkg50,", "x pkg50 Pkg50", "x  Pkg50\r\n",
       {"F> Renamed/Replaced package \"Pkg50\" to \"\""}},
      {"chained commands", "PKGR>PkgA,PkgB\r\nPKGR>PkgB,PkgC", "<PkgA>", "<PkgC>\r\n",
       {"F> Renamed/Replaced package \"PkgA\" to \"PkgB\"",
        "F> Renamed/Replaced package \"PkgB\" to \"PkgC\""}},
      {"empty package name", "PKGR>,x", "abc", "abc\r\n", {}},
      {"no literal guard", "PKGR>abc,xyz", "abc 'q' { (*", "xyz 'q' { (*\r\n",
       {"F> Renamed/Replaced package \"abc\" to \"xyz\""}},
      {"no match still normalised", "PKGR>abc,xyz", "q\rr\x1A", "q\r\nr\r\n", {}},
      {"other kinds ignored", "RENS>abc,xyz\r\nRENC>abc,xyz", "abc", "abc\r\n", {}},
  };
  for (const ProjectCase& c : cases) {
    RewriteResult result = Rewrite<ProjectLineTransform>(c.script, c.input);
    EXPECT_EQ(result.text, c.output) << c.name;
    EXPECT_EQ(result.log, c.log) << c.name;
    EXPECT_EQ(result.changed, !c.log.empty()) << c.name;
  }
}

}  // namespace
}  // namespace reshape
