// Rewrites a source, package or project file in place: the whole file goes through a line
// transform into a scratch file next to it, which then replaces the file in one step.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "driver/change_log.h"
#include "driver/run_report.h"
#include "platform/file_system.h"

namespace reshape {

// A text pass's conversion of a file's bytes: the new bytes, or nothing when they are the same.
using TextConversion = std::function<std::optional<std::string>(std::string_view)>;

// Fails with an input/output failure carrying the error code. Until the final replacement the
// file is untouched; a failed replacement leaves it as it was. The file's log lines are
// committed to the log just before it is replaced. A file whose rewritten bytes
// equal its bytes is left alone, so its modification time stays. A symbolic link stays: the
// file it leads to is rewritten. Returns false for a UTF-16 file, which is left as it is. The
// report is shown the bytes before and after of a changed file.
bool RewriteTextFile(FileSystem& files, FileChangeLog& log, const std::string& fileName,
                     const TextConversion& convert, RunReport& report);

}  // namespace reshape
