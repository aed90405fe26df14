#include "driver/form_pass.h"

#include "base/path.h"
#include "driver/file_selection.h"
#include "driver/scratch_file.h"
#include "forms/form_compiler.h"
#include "forms/form_rules.h"
#include "forms/form_to_text.h"
#include "base/errors.h"
#include "platform/file.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace reshape {

namespace {

void SaveText(const std::string& entry, const std::string& text) {
  TFileStream file(ReplaceExtension(entry, ".dft"), FileStreamMode::Create);
  file.WriteBuffer(text);
  file.Close();
}

// Writes the new form file beside the form file, then moves it over the form file.
void ReplaceFormFile(const std::string& entry, const std::string& bytes) {
  using namespace platform;
  ScratchFile scratch(ReplaceExtension(entry, ".XXX"));
  File temp;
  if (temp.Open(scratch.Name(), Access::Write, Share::Exclusive, Disposition::CreateAlways) != 0)
    throw EFCreateError("Cannot create file " + entry);
  scratch.Created();
  if (temp.Write(bytes.data(), bytes.size()) != 0) throw EWriteError("Stream write error");
  // Moved into place while still open and locked, so no other run can empty it meanwhile.
  if (ReplaceFile(scratch.Name(), entry) != 0) throw EFCreateError("Cannot create file " + entry);
  scratch.Committed();
  if (temp.Close() != 0) throw EWriteError("Stream write error");
}

void ConvertFormFile(const std::string& entry, RunState& state, const FormRules& rules) {
  std::string text;
  std::string formFile;
  {
    TFileStream form(entry, FileStreamMode::OpenReadWrite);
    std::string bytes;
    {
      TFileStream backup(ReplaceExtension(entry, ".dfb"), FileStreamMode::Create);
      bytes.resize(static_cast<std::size_t>(form.Size()));
      form.SetPosition(0);
      form.ReadBuffer(bytes.data(), bytes.size());
      backup.WriteBuffer(bytes);
      backup.Close();
    }
    text = FormFileToText(bytes, state.SystemCodePage);
    std::string().swap(bytes);
    try {
      formFile = CompileFormFile(text, rules, state);
    } catch (...) {
      // The text form is kept also when it does not compile; a failure to save it replaces
      // the compilation's failure.
      SaveText(entry, text);
      throw;
    }
  }
  ReplaceFormFile(entry, formFile);
  SaveText(entry, text);
}

}  // namespace

void RunFormPass(const std::vector<std::string>& namedFiles, RunState& state, Console& console) {
  const FormRules rules(state.Commands);
  FileList files;
  CollectFiles(files, {"*.DFM"}, namedFiles, console);
  for (const std::string& entry : files) {
    state.CurrentFileName = entry;
    console.Write(entry + " ...");
    state.FileChanged = false;
    ConvertFormFile(entry, state, rules);
    console.WriteLine(state.FileChanged ? "Converted" : "No change");
  }
}

}  // namespace reshape
