// The form pass: every form file is backed up to ".dfb", turned into its text form (kept as
// ".dft"), compiled back with the class and property rules applied, and replaced by the result.
#pragma once

#include <string>

#include "driver/change_log.h"
#include "driver/run_report.h"
#include "forms/form_rules.h"
#include "platform/file_system.h"
#include "script/run_state.h"

namespace reshape {

class FormPass {
 public:
  explicit FormPass(const CommandList& commands) : rules_(commands) {}

  // Converts one form file. It is replaced only by a completely compiled form, in one step,
  // and only when its bytes change; a failure leaves its old bytes in place.
  void Convert(FileSystem& files, FileChangeLog& log, const std::string& entry, RunState& state,
               RunReport& report) const;

 private:
  FormRules rules_;
};

}  // namespace reshape
