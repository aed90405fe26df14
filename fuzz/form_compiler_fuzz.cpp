// Fuzzes the form compiler with arbitrary text forms while class renames, property renames,
// deletions and set conversions are active. What it compiles must convert back to text, and
// that text must survive a second compilation (without rules) unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/resource_header.h"
#include "fuzz/form_fuzz_support.h"

using namespace reshape;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CommandList kRules = ParseScript(fuzz::kFormRulesScript);
  fuzz::CompileRun withRules(kRules);
  const std::string_view text = fuzz::AsText(data, size);
  std::string file;
  if (!fuzz::Accepts([&] { file = CompileFormFile(text, withRules.rules, withRules.run); }))
    return 0;
  const std::string stream = fuzz::StreamOfFormFile(file);
  std::string again;
  std::size_t consumed = 0;
  fuzz::Check(fuzz::Accepts([&] { again = FormStreamToText(stream, CodePage(1252), &consumed); }),
              "the compiled form does not convert to text");
  fuzz::Check(consumed == stream.size(), "the compiled form has bytes after its root object");
  fuzz::CheckTextRoundTrip(again, stream, CodePage(1252));
  return 0;
}
