#include "base/code_page.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/windows_api.h"

namespace reshape {
namespace {

// The lead bytes the program uses are the system's own for every double-byte code page.
TEST(CodePageWin32Test, LeadBytesAreTheSystems) {
  for (int number : {932, 936, 949, 950}) {
    for (int byte = 0; byte < 256; ++byte)
      EXPECT_EQ(CodePage(number).IsLeadByte(static_cast<unsigned char>(byte)),
                ::IsDBCSLeadByteEx(static_cast<UINT>(number), static_cast<BYTE>(byte)) != 0) << number << " " << byte;
  }
}

TEST(CodePageWin32Test, SystemCodePageIsTheAnsiCodePage) {
  EXPECT_EQ(platform::SystemCodePage().Number(), static_cast<int>(::GetACP()));
}

}  // namespace
}  // namespace reshape
