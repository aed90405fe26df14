// A test-only way to make the Nth operation of the platform layer fail, so that tests can
// prove that a failure at any point of a run loses no data. Inactive unless the environment
// variable RESHAPE_FAULT_AT holds a number N >= 1; RESHAPE_FAULT_COUNT=<file> makes the program
// write the number of operations it performed to that file when it ends.
#pragma once

namespace reshape::platform {

enum class Operation { Open, Create, Read, Write, Close, Rename, Lock, Delete };

// Counts one operation; returns the platform error code it must fail with, or 0.
int InjectedFault(Operation operation);

}  // namespace reshape::platform
