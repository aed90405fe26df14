#include "platform/os_error.h"

#include <utility>

#include "base/errors.h"
#include "platform/windows_api.h"

namespace reshape::platform {

int ErrorCodeFromSystem(unsigned long error) {
  constexpr std::pair<unsigned long, int> kNamed[] = {
      {ERROR_FILE_NOT_FOUND, kFileNotFound}, {ERROR_PATH_NOT_FOUND, kPathNotFound},
      {ERROR_TOO_MANY_OPEN_FILES, kTooManyOpenFiles}, {ERROR_ACCESS_DENIED, kAccessDenied},
      {ERROR_SHARING_VIOLATION, kSharingViolation}, {ERROR_INVALID_PARAMETER, kInvalidArgument},
      {ERROR_NOT_ENOUGH_MEMORY, kNoMemory}, {ERROR_GEN_FAILURE, kDeviceFailure}};
  for (const auto& [system, code] : kNamed)
    if (system == error) return code;
  return error < 0x10000 ? kSystemError + static_cast<int>(error) : kDeviceFailure;
}

int LastErrorCode() { return ErrorCodeFromSystem(::GetLastError()); }

}  // namespace reshape::platform
