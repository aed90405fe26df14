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
  TMemoryStream text{std::string(fuzz::AsText(data, size))};
  TMemoryStream file;
  if (!fuzz::Accepts([&] { WriteFormFile(text, file, withRules.context); })) {
    fuzz::Check(file.Bytes().empty(), "a failed compilation wrote to its output");
    return 0;
  }
  TMemoryStream written(file.Bytes());
  TMemoryStream again;
  fuzz::Check(fuzz::Accepts([&] { FormFileToText(written, again, CodePage(1252)); }),
              "the compiled form does not convert to text");
  fuzz::Check(written.Position() == static_cast<std::int64_t>(written.Bytes().size()),
              "the compiled form has bytes after its root object");
  fuzz::CheckTextRoundTrip(again.Bytes(), fuzz::StreamOfFormFile(file.Bytes()), CodePage(1252));
  return 0;
}
