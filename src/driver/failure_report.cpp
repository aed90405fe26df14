#include "driver/failure_report.h"

#include <cstdio>
#include <exception>
#include <new>

#include "base/errors.h"

namespace reshape {

std::string FailureReport(std::string_view kind, std::string_view moduleName,
                          unsigned long address, std::string_view message) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%08lX", address);
  std::string report = "Exception ";
  report.append(kind).append(" in module ").append(moduleName).append(" at ").append(hex);
  report.append(".\n").append(message);
  if (!message.empty() && message.back() != '.') report += '.';
  report += '\n';
  return report;
}

std::string ReportCurrentFailure(std::string_view moduleName) {
  try {
    throw;
  } catch (const EOutOfMemory&) {
    return FailureReport("EOutOfMemory", moduleName, 0, "Out of memory");
  } catch (const Exception& failure) {
    return FailureReport(failure.ClassName(), moduleName, failure.Address(), failure.Message());
  } catch (const std::bad_alloc&) {
    return FailureReport("EOutOfMemory", moduleName, 0, "Out of memory");
  } catch (const std::exception& failure) {
    return FailureReport("Exception", moduleName, 0, failure.what());
  }
}

bool CurrentFailureLeftTreeAsItWas() {
  try {
    throw;
  } catch (const Exception& failure) {
    return failure.TreeRestored();
  } catch (...) {
    return true;
  }
}

}  // namespace reshape
