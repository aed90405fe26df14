#include "driver/text_file_rewriter.h"

#include "base/errors.h"
#include "base/path.h"
#include "driver/scratch_file.h"
#include "source/text_lines.h"

namespace reshape {

bool RewriteTextFile(FileSystem& files, FileChangeLog& log, const std::string& fileName,
                     const TextConversion& convert, RunReport& report) {
  std::string text;
  // Read as for replacing: a read-only file fails here even when no rule changes it, as it
  // does when one does.
  const IoResult read = files.ReadFile(fileName, ReadFor::Replacing, text);
  CheckInOut(read.code);
  if (IsUtf16Text(text)) return false;
  const std::optional<std::string> rewritten = convert(text);
  if (!rewritten) {
    log.Commit([] {});
    return true;
  }
  if (report.WantsDiff()) report.Rewritten(text, *rewritten);
  text = std::string();
  // A link stays a link: the file it leads to is replaced, by a scratch file beside it.
  const std::string target = read.ownName ? fileName : files.Target(fileName).path;
  ScratchFile scratch(files, TempFileName(target), target);
  CheckInOut(scratch.Write(*rewritten).code);
  log.Commit([&] { CheckInOut(scratch.Keep()); });
  return true;
}

}  // namespace reshape
