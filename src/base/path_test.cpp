// Name splitting: every separator of either platform, dots in directories, empty parts.
#include "base/path.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(PathTest, SplitsAtEverySeparator) {
  struct Case {
    const char* path;
    const char* namePart;
    const char* baseName;
    const char* withDfb;
    const char* temp;
  };
  const Case cases[] = {
      {"FORM1.DFM", "FORM1.DFM", "FORM1", "FORM1.dfb", "FORM1.XXX"},
      {"D:\\jobs\\step.one.scr", "step.one.scr", "step", "D:\\jobs\\step.one.dfb", "D:\\jobs\\step.XXX"},
      {"sub.dir\\FORM1", "FORM1", "FORM1", "sub.dir\\FORM1.dfb", "sub.dir\\FORM1.XXX"},
      {"sub.dir/FORM1", "FORM1", "FORM1", "sub.dir/FORM1.dfb", "sub.dir/FORM1.XXX"},
      {"C:name.pas", "name.pas", "name", "C:name.dfb", "C:name.XXX"},
      {"dir.v2/.hidden", ".hidden", "", "dir.v2/.dfb", "dir.v2/.XXX"},
      {"a\\b/c:d.e", "d.e", "d", "a\\b/c:d.dfb", "a\\b/c:d.XXX"},
      {"Old.XXX", "Old.XXX", "Old", "Old.dfb", "Old.XXX"},
      {"dir/", "", "", "dir/.dfb", "dir/.XXX"},
      {"", "", "", ".dfb", ".XXX"},
      {"\xC4\xD6.pas", "\xC4\xD6.pas", "\xC4\xD6", "\xC4\xD6.dfb", "\xC4\xD6.XXX"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NamePart(c.path), c.namePart) << c.path;
    EXPECT_EQ(FileBaseName(c.path), c.baseName) << c.path;
    EXPECT_EQ(ReplaceExtension(c.path, ".dfb"), c.withDfb) << c.path;
    EXPECT_EQ(TempFileName(c.path), c.temp) << c.path;
  }
}

}  // namespace
}  // namespace reshape
