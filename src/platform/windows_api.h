// The Windows API for the platform layer's Windows files, without the macros that would rename
// this program's own functions (DeleteFile, ReplaceFile) or break the standard library (min,
// max).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef ReplaceFile
