#include "driver/text_file_rewriter.h"

#include "base/path.h"

#include "driver/scratch_file.h"
#include "base/errors.h"
#include "platform/file.h"
#include "platform/file_system.h"

namespace reshape {

namespace {

void Check(int code) {
  if (code != 0) throw EInOutError(code);
}

}  // namespace

void RewriteTextFile(const std::string& fileName, LineTransform& transform) {
  using namespace platform;
  File input;
  Check(input.Open(fileName, Access::Read, Share::DenyWrite, Disposition::OpenExisting));
  ScratchFile temp(TempFileName(fileName));
  File output;
  Check(output.Open(temp.Name(), Access::Write, Share::DenyWrite, Disposition::CreateAlways));
  temp.Created();

  std::string text;
  Check(input.ReadAll(text));
  std::string rewritten = RewriteText(text, transform);
  text = std::string();
  Check(output.Write(rewritten.data(), rewritten.size()));
  Check(input.Close());
  // The copy stays open, and so locked, until it is in place: another run cannot open it
  // under the same name and empty it in the meantime.
  Check(ReplaceFile(temp.Name(), fileName));
  temp.Committed();
  Check(output.Close());
}

}  // namespace reshape
