// Fuzzes the whole form conversion in memory as the form pass runs it: binary form file to
// text, text compiled with the rules into a new form file. When every name is an identifier
// the text must compile; the new file must convert to text again, and when no rule acted it
// must be the original byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/resource_header.h"
#include "fuzz/form_fuzz_support.h"
#include "fuzz/form_names.h"

using namespace reshape;

namespace {

void RunFormPass(const std::string& formFile, const CommandList& rules, CodePage codePage) {
  std::string text;
  if (!fuzz::Accepts([&] { text = FormFileToText(formFile, codePage); })) return;
  fuzz::CompileRun compile(rules);
  std::string original = fuzz::StreamOfFormFile(formFile);
  const bool identifierNames = fuzz::HasOnlyIdentifierNames(original);
  std::string compiled;
  auto compileText = [&] { compiled = ConvertFormFile(formFile, compile.rules, compile.run); };
  if (!fuzz::Accepts(compileText)) {
    fuzz::Check(!identifierNames, "the text of a form file with identifier names does not compile",
                text);
    return;
  }

  std::string again;
  fuzz::Check(fuzz::Accepts([&] { again = FormFileToText(compiled, codePage); }),
              "the converted form file does not convert to text");
  if (!compile.run.changed && identifierNames)
    fuzz::Check(compiled == formFile, "an unchanged form file changed its bytes", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CommandList kRules = ParseScript(fuzz::kFormRulesScript);
  std::string file(fuzz::AsText(data, size));
  RunFormPass(file, kRules, CodePage(1252));
  if (fuzz::HasHighBytes(file)) RunFormPass(file, kRules, CodePage(936));
  return 0;
}
