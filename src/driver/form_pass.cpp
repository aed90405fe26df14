#include "driver/form_pass.h"

#include "base/path.h"
#include "driver/file_selection.h"
#include "driver/scratch_file.h"
#include "forms/form_compiler.h"
#include "forms/form_rules.h"
#include "forms/form_to_text.h"
#include "forms/resource_header.h"
#include "base/errors.h"
#include "platform/file.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace reshape {

namespace {

constexpr std::size_t kFormSlack = 4096;

void SaveText(const std::string& entry, const TMemoryStream& text) {
  TFileStream file(ReplaceExtension(entry, ".dft"), FileStreamMode::Create);
  file.WriteBuffer(text.Bytes());
  file.Close();
}

// Writes the header and the compiled form beside the form file, then moves them over the form
// file.
void ReplaceFormFile(const std::string& entry, const std::string& header,
                     const TMemoryStream& compiled) {
  using namespace platform;
  ScratchFile scratch(ReplaceExtension(entry, ".XXX"));
  File temp;
  if (temp.Open(scratch.Name(), Access::Write, Share::Exclusive, Disposition::CreateAlways) != 0)
    throw EFCreateError("Cannot create file " + entry);
  scratch.Created();
  const std::string& bytes = compiled.Bytes();
  if (temp.Write(header.data(), header.size()) != 0 || temp.Write(bytes.data(), bytes.size()) != 0)
    throw EWriteError("Stream write error");
  // Moved into place while still open and locked, so no other run can empty it meanwhile.
  if (ReplaceFile(scratch.Name(), entry) != 0) throw EFCreateError("Cannot create file " + entry);
  scratch.Committed();
  if (temp.Close() != 0) throw EWriteError("Stream write error");
}

// Both texts stay in memory for the whole conversion: reserving their usual size up front
// spares the copies of growing them, which would double the peak memory of a large form.
void ReserveForForm(TMemoryStream& text, TMemoryStream& compiled, std::int64_t formSize) {
  const auto size = static_cast<std::size_t>(formSize);
  // Image data, the bulk of a large form, takes two hexadecimal digits a byte and the line
  // layout around them; the compiled form is usually as large as the form was.
  text.Reserve(size / 2 * 5 + kFormSlack);
  compiled.Reserve(size + kFormSlack);
}

void ConvertFormFile(const std::string& entry, RunState& state, PendingSetList& pendingSets,
                     const FormRules& rules) {
  TMemoryStream text;
  TMemoryStream compiled;
  std::string header;
  {
    TFileStream form(entry, FileStreamMode::OpenReadWrite);
    {
      TFileStream backup(ReplaceExtension(entry, ".dfb"), FileStreamMode::Create);
      std::int64_t size = form.Size();
      form.SetPosition(0);
      if (size > 0) backup.CopyFrom(form, size);
      backup.Close();
    }
    ReserveForForm(text, compiled, form.Size());
    form.SetPosition(0);
    FormFileToText(form, text, state.SystemCodePage);
    text.SetPosition(0);
    try {
      FormCompileContext context(state, pendingSets, rules);
      CompileForm(text, compiled, context);
      header = ResourceHeader(compiled);
    } catch (...) {
      // The text form is kept also when it does not compile; a failure to save it replaces
      // the compilation's failure.
      SaveText(entry, text);
      throw;
    }
  }
  ReplaceFormFile(entry, header, compiled);
  SaveText(entry, text);
}

}  // namespace

void RunFormPass(const std::vector<std::string>& namedFiles, RunState& state, Console& console) {
  PendingSetList pendingSets;
  const FormRules rules(state.Commands);
  FileList files;
  CollectFiles(files, {"*.DFM"}, namedFiles, console);
  for (const std::string& entry : files) {
    state.CurrentFileName = entry;
    console.Write(entry + " ...");
    state.FileChanged = false;
    ConvertFormFile(entry, state, pendingSets, rules);
    console.WriteLine(state.FileChanged ? "Converted" : "No change");
  }
}

}  // namespace reshape
