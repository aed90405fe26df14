// Whether this build finds the commands that act on a line, word or object the straightforward
// way: every rename tried in script order, substrings searched position by position, class
// renames found by walking the script. Such a build (RESHAPE_PLAIN_LOOKUPS) exists to show that
// the indexed look-ups of the normal build change no byte of output.
#pragma once

namespace reshape {

#ifdef RESHAPE_PLAIN_LOOKUPS
inline constexpr bool kPlainLookups = true;
#else
inline constexpr bool kPlainLookups = false;
#endif

}  // namespace reshape
