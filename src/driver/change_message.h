// The change log's message for each kind of change, as the log, the console and the change
// records show it.
#pragma once

#include <string>

#include "script/change.h"

namespace reshape {

std::string ChangeMessage(const Change& change);

}  // namespace reshape
