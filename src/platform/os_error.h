// Maps the operating system's error numbers (errno on POSIX, GetLastError() on Windows) to the
// IoError codes the program tells failures apart by.
#pragma once

namespace reshape::platform {

int ErrorCodeFromSystem(unsigned long error);

// The platform error code of the calling thread's last failed system call.
int LastErrorCode();

}  // namespace reshape::platform
