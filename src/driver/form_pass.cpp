#include "driver/form_pass.h"

#include "base/errors.h"
#include "base/path.h"
#include "driver/scratch_file.h"
#include "forms/binary_form_reader.h"
#include "forms/binary_form_writer.h"
#include "forms/form_compiler.h"
#include "forms/form_to_text.h"
#include "forms/text_form_editor.h"
#include "script/script_reader.h"

namespace reshape {

namespace {

// Fails as a form file's stream does: the scratch file cannot be created, or written.
void CheckWritten(IoResult written, const std::string& name) {
  if (written.code != 0 && written.opened) throw Failure(FailureKind::kWriteFailed);
  if (written.code != 0) throw Failure(FailureKind::kCannotCreate, name);
}

// ".dfb" and ".dft", named after the form's entry, written to a scratch file that is then moved
// into place: an interrupted run or a full disk never leaves the previous one half written.
class SideFile {
 public:
  SideFile(FileSystem& files, const std::string& entry, std::string_view extension,
           std::string_view bytes)
      : name_(ReplaceExtension(entry, extension)), scratch_(files, name_ + ".XXX", name_) {
    CheckWritten(scratch_.Write(bytes), name_);
  }
  void Keep() {
    if (scratch_.Keep() != 0) throw Failure(FailureKind::kCannotCreate, name_);
  }

 private:
  std::string name_;
  ScratchFile scratch_;
};

void WriteSideFile(FileSystem& files, const std::string& entry, std::string_view extension,
                   std::string_view bytes) {
  SideFile(files, entry, extension, bytes).Keep();
}

// Passes the changes on and notes whether there was any.
class NotingSink final : public ChangeSink {
 public:
  explicit NotingSink(ChangeSink& next) : next_(next) {}
  void Add(const Change& change) override {
    any_ = true;
    next_.Add(change);
  }
  bool Any() const { return any_; }

 private:
  ChangeSink& next_;
  bool any_ = false;
};

// A backup that reads is kept while the form is not replaced: it holds the form as it was
// before the last run that changed it. One that does not read is written as before.
bool HasBackup(FileSystem& files, const std::string& entry) {
  std::string bytes;
  return files.ReadFile(ReplaceExtension(entry, ".dfb"), ReadFor::Reading, bytes).code == 0;
}

// A form that is not replaced is left alone, so its modification time stays; a link stays a
// link. The file's log lines go out just before it is put in place.
void PutInPlace(FileSystem& files, FileChangeLog& log, const std::string& entry, bool replace,
                const std::string& bytes) {
  if (!replace) return log.Commit([] {});
  const std::string target = files.Target(entry).path;
  ScratchFile scratch(files, ReplaceExtension(target, ".XXX"), target);
  CheckWritten(scratch.Write(bytes), entry);
  log.Commit([&] {
    if (scratch.Keep() != 0) throw Failure(FailureKind::kCannotCreate, entry);
  });
}

}  // namespace

bool FormPass::Convert(FileSystem& files, FileChangeLog& log, const std::string& entry,
                       ChangeSink& changes, RunReport& report) const {
  std::string original;
  if (IoResult read = files.ReadFile(entry, ReadFor::Replacing, original); read.code != 0) {
    if (read.opened) throw Failure(FailureKind::kReadPastEnd);
    throw Failure(FailureKind::kCannotOpen, entry);
  }
  // A form saved as UTF-16 text is neither binary nor text the pass can read: it stays as it is.
  if (LooksLikeUtf16(original)) return false;
  const bool hadBackup = HasBackup(files, entry);
  if (!hadBackup) WriteSideFile(files, entry, ".dfb", original);
  NotingSink noted(changes);
  // A text form is edited in place and has no text form to save beside it.
  if (IsTextForm(original)) {
    const std::string edited = EditTextForm(original, rules_, noted);
    const bool replace = noted.Any() && edited != original;
    if (hadBackup && replace) WriteSideFile(files, entry, ".dfb", original);
    if (report.WantsDiff() && replace) report.Rewritten(original, edited);
    PutInPlace(files, log, entry, replace, edited);
    return true;
  }
  // The form's tree and text form. The text form is kept also when the rules fail (every text
  // form holds at least its object header); a failure to save it replaces the rules' failure.
  FormTree tree = ReadBinaryForm(original);
  std::string text = PrintFormText(tree, codePage_);
  try {
    // A form in which no rule can act is not looked at again.
    if (rules_.MayActIn(original)) MigrateBinaryForm(tree, text, rules_, noted);
  } catch (...) {
    WriteSideFile(files, entry, ".dft", text);
    throw;
  }
  // The text is written out before the new form is made, and put in place after the backup,
  // so that a large form's text need not be held beside its new bytes.
  SideFile textFile(files, entry, ".dft", text);
  if (!report.WantsDiff()) std::string().swap(text);
  // The complete new form file, in which every value no rule changes keeps its original bytes;
  // a form in which no rule fired is not replaced.
  const std::string written = noted.Any() ? WriteFormFile(tree) : std::string();
  const bool replace = noted.Any() && written != original;
  // Both side files are in place before the form is replaced.
  if (hadBackup && replace) WriteSideFile(files, entry, ".dfb", original);
  textFile.Keep();
  // A binary form is shown as its text forms before and after.
  if (report.WantsDiff() && replace) report.Rewritten(text, PrintFormText(tree, codePage_));
  PutInPlace(files, log, entry, replace, written);
  return true;
}

}  // namespace reshape
