// Name splitting: every separator of either platform, dots in directories, empty parts.
#include "base/path.h"

#include <gtest/gtest.h>

namespace reshape {
namespace {

TEST(PathTest, SplitsAtEverySeparator) {
  // Path, name part, base name, with the extension ".dfb", temporary file name.
  const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
      {"D:\\jobs\\step.one.scr", "step.one.scr", "step", "D:\\jobs\\step.one.dfb", "D:\\jobs\\step.XXX"},
      {"sub.dir\\FORM1", "FORM1", "FORM1", "sub.dir\\FORM1.dfb", "sub.dir\\FORM1.XXX"},
      {"sub.dir/FORM1", "FORM1", "FORM1", "sub.dir/FORM1.dfb", "sub.dir/FORM1.XXX"},
      {"C:name.pas", "name.pas", "name", "C:name.dfb", "C:name.XXX"},
      {"dir.v2/.hidden", ".hidden", "", "dir.v2/.dfb", "dir.v2/.XXX"},
      {"dir/", "", "", "dir/.dfb", "dir/.XXX"},
      {"\xC4\xD6.pas", "\xC4\xD6.pas", "\xC4\xD6", "\xC4\xD6.dfb", "\xC4\xD6.XXX"},
  };
  for (const auto& [path, namePart, baseName, withDfb, temp] : cases) {
    EXPECT_EQ(NamePart(path), namePart) << path;
    EXPECT_EQ(FileBaseName(path), baseName) << path;
    EXPECT_EQ(ReplaceExtension(path, ".dfb"), withDfb) << path;
    EXPECT_EQ(TempFileName(path), temp) << path;
  }
}

}  // namespace
}  // namespace reshape
