#include "platform/os_error.h"

#include <cerrno>

#include "base/errors.h"

namespace reshape::platform {

int ErrorCodeFromSystem(unsigned long error) {
  switch (static_cast<int>(error)) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return kPathNotFound;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return kAccessDenied;
    case EWOULDBLOCK: return kSharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case EINVAL: return kInvalidArgument;
    case ENOMEM: return kNoMemory;
    default: return kDeviceFailure;
  }
}

int LastErrorCode() { return ErrorCodeFromSystem(static_cast<unsigned long>(errno)); }

}  // namespace reshape::platform
