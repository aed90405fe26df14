// File names taken apart the way the program's messages and side files need them. A name
// splits at "/", "\" and ":" alike, on every platform, so that names typed for one system
// work on the other.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

// The part after the last "\", ":" or "/" (all of it when there is none).
std::string_view NamePart(std::string_view path);

// The name part of path, cut before its first ".".
std::string FileBaseName(std::string_view path);

// The name with its extension replaced: everything up to the last ".", unless a "\", ":" or "/"
// comes after it, followed by the new extension as given.
std::string ReplaceExtension(std::string_view name, std::string_view extension);

// The scratch file for rewriting fileName: its directory, its base name and ".XXX".
std::string TempFileName(std::string_view fileName);

}  // namespace reshape
