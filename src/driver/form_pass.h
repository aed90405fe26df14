// The form pass: every form file is backed up to ".dfb", turned into its text form (kept as
// ".dft"), compiled back with the class and property rules applied, and replaced by the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/change_log.h"
#include "driver/console.h"
#include "platform/file_system.h"
#include "script/run_state.h"

namespace reshape {

// Runs the pass over the "*.DFM" files (or the named ones). A form file is replaced only by a
// completely compiled form, in one step, and only when its bytes change; a failure leaves its
// old bytes in place.
void RunFormPass(FileSystem& files, FileChangeLog& log, const std::vector<std::string>& namedFiles,
                 RunState& state, Console& console);

}  // namespace reshape
