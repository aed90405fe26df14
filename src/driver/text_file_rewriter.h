// Rewrites a source, package or project file in place: the whole file goes through a line
// transform into the temporary file next to it, which then replaces the file in one step.
#pragma once

#include <string>

#include "source/text_lines.h"

namespace reshape {

// Fails with EInOutError carrying the platform error code. Until the final replacement the
// file is untouched; a failed replacement leaves the file as it was and the complete rewritten
// copy under its temporary name.
void RewriteTextFile(const std::string& fileName, LineTransform& transform);

}  // namespace reshape
