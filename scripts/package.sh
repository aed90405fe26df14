#!/usr/bin/env bash
# Makes reshape's packages with cpack and checks what they hold. Linux: a Debian package and a
# .tar.gz, each with the program, its manual page and the README. Windows (from the MinGW-w64
# cross build): a .zip with reshape.exe, the README and the manual as plain text. The reshape in
# each package must run and print its version (the Windows one under Wine).
# Usage: scripts/package.sh [linux|windows] [BUILD_DIR]
#   default build directory: build-pkg (linux) or build-pkg-win (windows); one that exists, such
#   as the one of scripts/test.sh or scripts/test_windows.sh, is used with its own settings.
# The packages land in BUILD_DIR/packages.
set -euo pipefail
cd "$(dirname "$0")/.."
system="${1:-linux}"
case "$system" in
  linux) build="${2:-build-pkg}" ;;
  windows) build="${2:-build-pkg-win}" ;;
  *)
    echo "usage: $0 [linux|windows] [BUILD_DIR]" >&2
    exit 2
    ;;
esac

# Besides what the build needs: groff renders the manual as text, unzip lists the zip.
if [ "$system" = windows ]; then
  RESHAPE_NEEDS_WINDOWS=1 scripts/setup.sh
else
  scripts/setup.sh
fi
missing=()
command -v groff >/dev/null 2>&1 || missing+=(groff-base)
command -v unzip >/dev/null 2>&1 || missing+=(unzip)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A new build directory is a release build without tests; an existing one is configured again
# only so that tools installed since (groff) are found.
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" >/dev/null
else
  flags=(-DCMAKE_BUILD_TYPE=Release -DRESHAPE_BUILD_TESTS=OFF)
  [ "$system" = linux ] || flags+=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
  cmake -S . -B "$build" "${flags[@]}"
fi
targets=(reshape)
[ "$system" = linux ] || targets+=(reshape_manual_text)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
rm -rf "$build/packages"
cpack --config "$build/CPackConfig.cmake"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
wine_started=0
cleanup() {
  [ $wine_started = 0 ] || reshape_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

# check_files PACKAGE LISTING EXPECTED...: the package's files (not directories) are exactly
# the expected ones.
check_files() {
  local package=$1 listing=$2
  shift 2
  local expected
  expected=$(printf '%s\n' "$@" | sort)
  if [ "$(sort <<<"$listing")" = "$expected" ]; then
    echo "$package holds: $*"
  else
    fail "$package holds"
    diff <(echo "$expected") <(sort <<<"$listing") | sed 's/^/    /' || true
  fi
}

# check_version PACKAGE COMMAND...: the packaged program prints "reshape VERSION".
check_version() {
  local package=$1 printed
  shift
  printed=$("$@" --version </dev/null 2>&1 | tr -d '\r') || true
  if [ "$printed" = "reshape $version" ]; then
    echo "$package runs: $printed"
  else
    fail "$package: --version printed \"$printed\", expected \"reshape $version\""
  fi
}

# check_stripped PACKAGE OBJDUMP FILE: the packaged program carries no debugging information.
check_stripped() {
  if "$2" -h "$3" | grep -q '\.debug_'; then
    fail "$1: $(basename "$3") is not stripped"
  fi
}

packages="$build/packages"
if [ "$system" = linux ]; then
  deb="$packages/reshape_${version}_$(dpkg --print-architecture).deb"
  tgz="$packages/reshape-$version-linux-$(uname -m).tar.gz"
  top="reshape-$version-linux-$(uname -m)"
  for package in "$deb" "$tgz"; do
    [ -f "$package" ] || fail "no $package"
  done
  if [ -f "$deb" ]; then
    check_files "$deb" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }')" \
      ./usr/bin/reshape ./usr/share/man/man1/reshape.1 ./usr/share/doc/reshape/README.md
    dpkg-deb -f "$deb" Package Version Depends | sed 's/^/    /'
    dpkg-deb -x "$deb" "$work/deb"
    check_version "$deb" "$work/deb/usr/bin/reshape"
    check_stripped "$deb" objdump "$work/deb/usr/bin/reshape"
  fi
  if [ -f "$tgz" ]; then
    check_files "$tgz" "$(tar tzf "$tgz" | grep -v '/$')" \
      "$top/bin/reshape" "$top/share/man/man1/reshape.1" "$top/share/doc/reshape/README.md"
    tar xzf "$tgz" -C "$work"
    check_version "$tgz" "$work/$top/bin/reshape"
  fi
else
  zip="$packages/reshape-$version-windows-x86_64.zip"
  top="reshape-$version-windows-x86_64"
  if [ -f "$zip" ]; then
    check_files "$zip" "$(unzip -Z1 "$zip" | grep -v '/$')" \
      "$top/reshape.exe" "$top/README.md" "$top/reshape.txt"
    unzip -q "$zip" -d "$work"
    manual="$work/$top/reshape.txt"
    if [ -f "$manual" ] && grep -q $'^OPTIONS\r$' "$manual" &&
      ! grep -q $'[\b\e]' "$manual"; then
      echo "$zip: reshape.txt is the plain-text manual, $(wc -l <"$manual") lines"
    else
      fail "$zip: reshape.txt is not the manual as plain text (no overstrike or colour codes) with CR LF line ends"
    fi
    source scripts/wine_env.sh
    reshape_wine_start
    wine_started=1
    check_version "$zip" "$RESHAPE_WINE" "$work/$top/reshape.exe"
    check_stripped "$zip" x86_64-w64-mingw32-objdump "$work/$top/reshape.exe"
  else
    fail "no $zip"
  fi
fi
[ $failed = 0 ] || exit 1
echo "Packages in $packages:"
ls -l "$packages" | grep -v '_CPack_Packages\|^total'
