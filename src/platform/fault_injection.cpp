#include "platform/fault_injection.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/errors.h"

namespace reshape::platform {

namespace {

struct FaultPlan {
  long failAt = 0;
  const char* countFile = nullptr;
  long performed = 0;

  FaultPlan() {
    if (const char* at = std::getenv("RESHAPE_FAULT_AT")) failAt = std::strtol(at, nullptr, 10);
    countFile = std::getenv("RESHAPE_FAULT_COUNT");
  }
  ~FaultPlan() {
    if (countFile == nullptr) return;
    if (std::FILE* f = std::fopen(countFile, "w")) {
      std::fprintf(f, "%ld\n", performed);
      std::fclose(f);
    }
  }
};

FaultPlan& Plan() {
  static FaultPlan plan;
  return plan;
}

int CodeFor(Operation operation) {
  switch (operation) {
    case Operation::Write: return kErrorDiskFull;
    case Operation::Lock: return kErrorSharingViolation;
    case Operation::Open:
    case Operation::Create: return kErrorAccessDenied;
    default: return 31;
  }
}

}  // namespace

int InjectedFault(Operation operation) {
  FaultPlan& plan = Plan();
  if (plan.failAt <= 0 && plan.countFile == nullptr) return 0;
  ++plan.performed;
  return plan.performed == plan.failAt ? CodeFor(operation) : 0;
}

}  // namespace reshape::platform
