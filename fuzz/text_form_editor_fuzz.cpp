// Fuzzes the text form editor with arbitrary text while class renames, property renames,
// deletions and set conversions are active. The editor must fail only with reshape's own
// failures, must fail exactly when the compiler does, must return the input when no edit is
// made, and, for every text the compiler accepts, its result and the binary way's must convert
// to the same text form with the same log lines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/test_text_forms.h"
#include "fuzz/form_fuzz_support.h"

using namespace reshape;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CommandList kRules = ParseScript(fuzz::kFormRulesScript);
  const std::string_view text = fuzz::AsText(data, size);
  const test::TextFormRun edit = test::EditTextFormRun(text, kRules);
  fuzz::CompileRun compile(kRules);
  std::string compiled;
  const bool compiles = fuzz::Accepts([&] {
    CompileFormStream(test::WithoutByteOrderMark(text), compile.rules, compile.run, compiled);
  });
  fuzz::Check(compiles == edit.failure.empty(), "the editor and the compiler disagree on a text",
              edit.failure);
  if (!compiles) return 0;
  if (edit.log.empty()) fuzz::Check(edit.text == text, "a text without changes came back changed");
  const std::string differs = test::CheckConsistency(text, kRules);
  fuzz::Check(differs.empty(), "the text way and the binary way disagree", differs);
  return 0;
}
