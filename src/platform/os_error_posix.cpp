#include "platform/os_error.h"

#include <cerrno>

#include "base/errors.h"

namespace reshape::platform {

int ErrorCodeFromSystem(unsigned long error) {
  switch (static_cast<int>(error)) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return kErrorPathNotFound;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return kErrorAccessDenied;
    case EWOULDBLOCK: return kErrorSharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kErrorDiskFull;
    case EINVAL: return 87;   // the platform's "invalid parameter"
    case ENOMEM: return 8;    // "not enough memory"
    default: return 31;       // "a device is not functioning": any other input/output failure
  }
}

int LastErrorCode() { return ErrorCodeFromSystem(static_cast<unsigned long>(errno)); }

}  // namespace reshape::platform
