// The form pass: every form file is backed up to ".dfb"; a binary form is read into its tree,
// whose text form is kept as ".dft"; the class and property rules act on the tree, and the form
// is replaced by the tree written back.
#pragma once

#include <string>

#include "driver/change_log.h"
#include "driver/run_report.h"
#include "forms/form_rules.h"
#include "platform/file_system.h"
#include "base/code_page.h"
#include "script/change.h"

namespace reshape {

class FormPass {
 public:
  FormPass(const CommandList& commands, CodePage codePage) : rules_(commands), codePage_(codePage) {}

  // Converts one form file. It is replaced only by a completely written form, in one step,
  // and only when a rule fired and its bytes change; a failure leaves its old bytes in place.
  // An existing ".dfb" is written anew only when the form is replaced. False for a form in
  // UTF-16, which is left as it is, without side files.
  bool Convert(FileSystem& files, FileChangeLog& log, const std::string& entry,
               ChangeSink& changes, RunReport& report) const;

 private:
  FormRules rules_;
  CodePage codePage_;
};

}  // namespace reshape
