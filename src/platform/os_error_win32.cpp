#include "platform/os_error.h"

#include "platform/windows_api.h"

namespace reshape::platform {

// The platform error codes are the system's own, so they pass unchanged.
int ErrorCodeFromSystem(unsigned long error) { return static_cast<int>(error); }

int LastErrorCode() { return ErrorCodeFromSystem(::GetLastError()); }

}  // namespace reshape::platform
