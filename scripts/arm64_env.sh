# Sourced by the ARM64 scripts: runs the cross-built programs under qemu-user with the ARM64 C
# library of the cross compiler. Sets RESHAPE_QEMU to the command line that starts a program
# ("$RESHAPE_QEMU" is not quoted when used: it is several words) and exports it as
# RESHAPE_TEST_RUNNER, through which the end-to-end tests start reshape.
RESHAPE_QEMU="$(command -v qemu-aarch64 || command -v qemu-aarch64-static || echo qemu-aarch64) -L /usr/aarch64-linux-gnu"
export RESHAPE_TEST_RUNNER="$RESHAPE_QEMU"
