// The report printed when a failure ends the run: the kind, the executable's file name, the
// code address, and on the second line the message with a final "." added when it has none.
#pragma once

#include <string>
#include <string_view>

namespace reshape {

// "Exception %s in module %s at %p.\n%s%s" and a line break.
std::string FailureReport(std::string_view kind, std::string_view moduleName,
                          unsigned long address, std::string_view message);

// The report for the failure being handled (called inside a catch block).
std::string ReportCurrentFailure(std::string_view moduleName);

// Whether the failure being handled left the tree as it was when it ended an all-or-nothing run
// (called inside a catch block).
bool CurrentFailureLeftTreeAsItWas();

}  // namespace reshape
