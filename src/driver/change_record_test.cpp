#include "driver/change_record.h"

#include <gtest/gtest.h>

#include <string>

#include "script/script_reader.h"

namespace reshape {
namespace {

TEST(ChangeRecordTest, OneJsonLinePerChange) {
  const CommandList commands = ParseScript(
      "RENC>TA,TB\nRENP>TButton:Caption,Text\nDELP>Font.Name\n"
      "PSET>TPanel:Ctl3D=False,Options[poFlat]\nRENS>\"a\",b\xE4\n");
  struct Case {
    ChangeRecord record;
    std::string json;
  };
  // A plain record of a source file is shown by the end-to-end runs.
  const Case cases[] = {
      {{"f\xC3\xA9.dfm", 0, &commands[1], "m"},
       "{\"file\":\"f\xC3\xA9.dfm\",\"line\":null,\"script_line\":2,\"command\":"
       R"("RENP>TButton:Caption,Text","kind":"RENP","old":"Caption","new":"Text","message":"m"})"},
      {{"a.dfm", 3, &commands[2], "m\t"},
       R"({"file":"a.dfm","line":3,"script_line":3,"command":"DELP>Font.Name","kind":"DELP",)"
       R"("old":"Font.Name","new":null,"message":"m\t"})"},
      {{"a.dfm", 4, &commands[3], "m"},
       R"({"file":"a.dfm","line":4,"script_line":4,"command":"PSET>TPanel:Ctl3D=False,)"
       R"(Options[poFlat]","kind":"PSET","old":"Ctl3D = False","new":"Options[poFlat]",)"
       R"("message":"m"})"},
      // Bytes that are not UTF-8 go as base64 beside a null.
      {{"\xE4\xE4.pas", 1, &commands[4], "Renamed string \"\"a\"\" to \"b\xE4\"\t"},
       R"({"file":null,"file_base64":"5OQucGFz","line":1,"script_line":5,"command":null,)"
       R"("command_base64":"UkVOUz4iYSIsYuQ=","kind":"RENS","old":"\"a\"","new":null,)"
       R"("new_base64":"YuQ=","message":null,)"
       R"("message_base64":"UmVuYW1lZCBzdHJpbmcgIiJhIiIgdG8gImLkIgk="})"},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonChangeLine(c.record), c.json + "\n");
}

// Which bytes are UTF-8 is the form reader's decoder, checked with the UTF-8 strings of forms.
TEST(ChangeRecordTest, Base64) {
  const std::pair<std::string, std::string> encodings[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\xFF\xFE\0", 3), "//4A"}};
  for (const auto& [bytes, base64] : encodings) EXPECT_EQ(Base64(bytes), base64);
}

}  // namespace
}  // namespace reshape
