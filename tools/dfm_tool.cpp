// Converts one form file between its binary and its text form, with reshape's own converter
// and compiler and no rules: "bin2text FORM TEXT" or "text2bin TEXT FORM". Used to make the
// demo's binary forms from the text forms kept beside them, and handy for looking into a form.
// "edit SCRIPT TEXT OUT" migrates a text form in place as a run would, writes the result to OUT
// and prints the changes it made.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/text_form_editor.h"
#include "script/script_reader.h"
#include "base/errors.h"
#include "driver/change_message.h"
#include "driver/failure_report.h"
#include "script/change.h"

namespace {

class NoLog : public reshape::ChangeSink {
 public:
  void Add(const reshape::Change&) override {}
};

class PrintLog : public reshape::ChangeSink {
 public:
  void Add(const reshape::Change& change) override {
    std::printf("%s\n", reshape::ChangeMessage(change).c_str());
  }
};

std::string ReadBytes(const char* name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read ") + name);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const char* name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error(std::string("cannot write ") + name);
}

}  // namespace

int main(int argc, char** argv) {
  const bool edit = argc == 5 && std::string_view(argv[1]) == "edit";
  if (!edit && (argc != 4 || (std::string_view(argv[1]) != "bin2text" &&
                              std::string_view(argv[1]) != "text2bin"))) {
    std::fprintf(stderr,
                 "usage: %s bin2text FORM TEXT | text2bin TEXT FORM | edit SCRIPT TEXT OUT\n",
                 argv[0]);
    return 2;
  }
  try {
    if (edit) {
      const reshape::CommandList commands = reshape::ParseScript(ReadBytes(argv[2]));
      PrintLog log;
      WriteBytes(argv[4], reshape::EditTextForm(ReadBytes(argv[3]), reshape::FormRules(commands), log));
      return 0;
    }
    const std::string input = ReadBytes(argv[2]);
    std::string output;
    if (std::string_view(argv[1]) == "bin2text") {
      output = reshape::FormFileToText(input, reshape::CodePage());
    } else {
      reshape::CommandList noCommands;
      NoLog log;
      output = reshape::CompileFormFile(input, reshape::FormRules(noCommands), log);
    }
    WriteBytes(argv[3], output);
    return 0;
  } catch (const reshape::Failure& failure) {
    const reshape::FailureText text = reshape::TextOf(failure);
    std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(text.name.size()), text.name.data(),
                 text.message.c_str());
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s\n", failure.what());
  }
  return 1;
}
