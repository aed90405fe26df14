// The texts the user reads for a failure. Inside the program a failure is a kind and its facts;
// here alone it gets the name, message and code address that users and their scripts know from
// every earlier version: "Exception EReadError in module reshape at 0040ABCD." and the message.
#pragma once

#include <string>
#include <string_view>

#include "base/errors.h"

namespace reshape {

struct FailureText {
  std::string_view name;  // "EReadError", ...
  std::string message;
};

FailureText TextOf(const Failure& failure);

// "Exception %s in module %s at %p.\n%s%s" and a line break: the address as 8 hex digits, the
// message with a final "." added when it has none.
std::string FailureReport(std::string_view kind, std::string_view moduleName,
                          unsigned long address, std::string_view message);

// The report for the failure being handled (called inside a catch block).
std::string ReportCurrentFailure(std::string_view moduleName);

// Whether the failure being handled left the tree as it was when it ended an all-or-nothing run
// (called inside a catch block).
bool CurrentFailureLeftTreeAsItWas();

}  // namespace reshape
