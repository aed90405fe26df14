// Which files a pass works on, and in what order: the matching entries of the current directory
// (read-only ones are left out with a notice), of every directory below it too in a recursive
// run, or the files named on the command line.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "platform/file_system.h"

namespace reshape {

struct PassSelection {
  std::initializer_list<std::string_view> masks;
  const std::vector<std::string>& namedFiles;
  bool recursive = false;
  // When set, is handed each read-only file left out, right after its notice.
  std::function<void(const std::string&, const FileIdentity&)> leftOut = {};
};

// Hands each file of the pass to `visit`, in mask order per directory. Without named files each
// mask's entries come in directory order and every read-only entry is reported as "NAME is read
// only" instead, the notices of a directory before its first file. A recursive pass then goes
// depth first into the subdirectories in directory order, leaving out those whose name starts
// with "." or "__" and links to directories; names are paths relative to the current directory.
// With named files, those whose name part matches one of the masks come in command-line order,
// as often as they were named, unchecked. A name that leads to a file the pass already took
// under another name (a link and its target) is left out.
void VisitPassFiles(FileSystem& files, const PassSelection& selection, Console& console,
                    const std::function<void(const std::string&)>& visit);

}  // namespace reshape
