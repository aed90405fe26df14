// Which files a pass works on: the matching entries of the current directory (read-only ones
// are left out with a notice), or the files named on the command line.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/path.h"
#include "driver/console.h"
#include "platform/file_system.h"

namespace reshape {

using FileList = std::vector<std::string>;

// Appends the files of one pass with the given masks, in mask order. Without named files, each
// mask's directory entries are appended in directory order and every read-only entry is
// reported as "NAME is read only" instead. With named files, those whose name part matches one
// of the masks are appended in command-line order, as often as they were named, unchecked.
// A name that leads to a file the pass already takes under another name (a link and its
// target) is left out.
void CollectFiles(FileSystem& files, FileList& list, std::initializer_list<std::string_view> masks,
                  const std::vector<std::string>& namedFiles, Console& console);

}  // namespace reshape
