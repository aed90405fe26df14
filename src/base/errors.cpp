#include "base/errors.h"

#include <cstdint>

namespace reshape {

namespace {

// Anchor for the failure address: the distance of a code address from this function is the
// same in every run, whatever address the loader chose.
[[gnu::noinline]] void AddressAnchor() {}

constexpr std::uintptr_t kModuleBase = 0x00400000;

// The fixed message for an input/output error code ("File not found", ..., "I/O error %d").
std::string InOutErrorMessage(int code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

}  // namespace

[[gnu::noinline]] Exception::Exception(std::string message)
    : message_(std::move(message)) {
  auto here = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
  auto anchor = reinterpret_cast<std::uintptr_t>(&AddressAnchor);
  address_ = static_cast<unsigned long>((here - anchor + kModuleBase) & 0xFFFFFFFFu);
}

EInOutError::EInOutError(int code) : Exception(InOutErrorMessage(code)) {}

}  // namespace reshape
