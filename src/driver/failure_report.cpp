#include "driver/failure_report.h"

#include <cstdio>

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

}  // namespace reshape
