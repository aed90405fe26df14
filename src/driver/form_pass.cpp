#include "driver/form_pass.h"

#include "driver/file_selection.h"
#include "driver/scratch_file.h"
#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace reshape {

namespace {

void SaveText(const std::string& entry, const TMemoryStream& text) {
  TFileStream file(ReplaceExtension(entry, ".dft"), FileStreamMode::Create);
  file.WriteBuffer(text.Bytes());
  file.Close();
}

// Writes the compiled form beside the form file, then moves it over the form file.
void ReplaceFormFile(const std::string& entry, const TMemoryStream& compiled) {
  using namespace platform;
  ScratchFile scratch(ReplaceExtension(entry, ".XXX"));
  File temp;
  if (temp.Open(scratch.Name(), Access::Write, Share::Exclusive, Disposition::CreateAlways) != 0)
    throw EFCreateError("Cannot create file " + entry);
  scratch.Created();
  const std::string& bytes = compiled.Bytes();
  if (temp.Write(bytes.data(), bytes.size()) != 0) throw EWriteError("Stream write error");
  // Moved into place while still open and locked, so no other run can empty it meanwhile.
  if (ReplaceFile(scratch.Name(), entry) != 0) throw EFCreateError("Cannot create file " + entry);
  scratch.Committed();
  if (temp.Close() != 0) throw EWriteError("Stream write error");
}

void ConvertFormFile(const std::string& entry, RunState& state, PendingSetList& pendingSets) {
  TMemoryStream text;
  TMemoryStream compiled;
  {
    TFileStream form(entry, FileStreamMode::OpenReadWrite);
    {
      TFileStream backup(ReplaceExtension(entry, ".dfb"), FileStreamMode::Create);
      std::int64_t size = form.Size();
      form.SetPosition(0);
      if (size > 0) backup.CopyFrom(form, size);
      backup.Close();
    }
    form.SetPosition(0);
    FormFileToText(form, text, state.SystemCodePage);
    text.SetPosition(0);
    try {
      FormCompileContext context(state, pendingSets);
      WriteFormFile(text, compiled, context);
    } catch (...) {
      // The text form is kept also when it does not compile; a failure to save it replaces
      // the compilation's failure.
      SaveText(entry, text);
      throw;
    }
  }
  ReplaceFormFile(entry, compiled);
  SaveText(entry, text);
}

}  // namespace

std::string ReplaceExtension(std::string_view name, std::string_view extension) {
  std::size_t last = name.find_last_of(".\\:/");
  std::string result(name);
  if (last != std::string_view::npos && name[last] == '.') result.resize(last);
  result += extension;
  return result;
}

void RunFormPass(const std::vector<std::string>& namedFiles, RunState& state, Console& console) {
  PendingSetList pendingSets;
  FileList files;
  CollectFiles(files, {"*.DFM"}, namedFiles, console);
  for (const std::string& entry : files) {
    state.CurrentFileName = entry;
    console.Write(entry + " ...");
    state.FileChanged = false;
    ConvertFormFile(entry, state, pendingSets);
    console.WriteLine(state.FileChanged ? "Converted" : "No change");
  }
}

}  // namespace reshape
