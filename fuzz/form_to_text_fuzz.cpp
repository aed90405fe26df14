// Fuzzes the binary reader and the text printer on whole form files (resource header, then the
// binary form stream). A form that reads is written back byte for byte when no rule acts, and
// its text reads back whenever the reader says it will. A stream whose names are identifiers
// must survive compiling its text and converting it back; any other text must do so after one
// such round.
#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/binary_form_reader.h"
#include "forms/binary_form_writer.h"
#include "forms/resource_header.h"
#include "fuzz/form_fuzz_support.h"
#include "fuzz/form_names.h"

using namespace reshape;

namespace {

void ConvertAndRoundTrip(const std::string& file, CodePage codePage) {
  std::string text;
  if (!fuzz::Accepts([&] { text = FormFileToText(file, codePage); })) return;
  FormTree tree = ReadBinaryForm(file);
  fuzz::Check(WriteFormFile(tree) == file, "a form read and written with no rule changed its bytes");
  if (tree.readsBackAsText) {
    fuzz::CompileRun plain(CommandList{});
    fuzz::Check(fuzz::Accepts([&] { CompileFormFile(text, plain.rules, plain.run); }),
                "the text of a form said to read back does not", text);
  }
  std::string original = fuzz::StreamOfFormFile(file);
  if (fuzz::HasOnlyIdentifierNames(original))
    fuzz::CheckTextRoundTrip(text, original, codePage);
  else
    fuzz::CheckTextSettles(text, codePage);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string file(fuzz::AsText(data, size));
  ConvertAndRoundTrip(file, CodePage(1252));
  if (fuzz::HasHighBytes(file)) ConvertAndRoundTrip(file, CodePage(932));
  return 0;
}
