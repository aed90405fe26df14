// Maps the operating system's error numbers to the platform error codes that the failure
// messages are written for.
#pragma once

namespace reshape::platform {

int ErrorCodeFromErrno(int err);

}  // namespace reshape::platform
