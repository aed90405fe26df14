# Sourced by the Windows scripts: runs the cross-built programs under Wine.
#   reshape_wine_start  finds Wine, gives it a prefix of its own (a new temporary one unless
#                       WINEPREFIX is set), silences its debug output and sets the prefix up once;
#                       Wine's server and services are started apart from the caller's output,
#                       so none of them keeps a pipe of the caller open after the run.
#   reshape_wine_stop   ends every Wine process of that prefix and removes a temporary prefix.
# After reshape_wine_start, "$RESHAPE_WINE" program.exe ... runs a program.

reshape_wine_find() {
  local candidate
  for candidate in "$@"; do
    if command -v "$candidate" >/dev/null 2>&1; then
      command -v "$candidate"
      return 0
    fi
  done
  return 1
}

reshape_wine_start() {
  RESHAPE_WINE=$(reshape_wine_find wine64 wine /usr/lib/wine/wine64 /usr/lib/wine/wine) || {
    echo "Wine is not installed" >&2
    return 1
  }
  RESHAPE_WINESERVER=$(reshape_wine_find wineserver64 wineserver /usr/lib/wine/wineserver64 \
    /usr/lib/wine/wineserver) || {
    echo "wineserver is not installed" >&2
    return 1
  }
  RESHAPE_WINE_OWN_PREFIX=""
  if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/reshape-wine.XXXXXX")
    RESHAPE_WINE_OWN_PREFIX="$WINEPREFIX"
  fi
  export WINEPREFIX RESHAPE_WINE RESHAPE_WINESERVER
  export WINEDEBUG=-all
  # No .NET or HTML engine: setting the prefix up would otherwise try to download them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # A server that stays until reshape_wine_stop: the tests start hundreds of short processes,
  # and one server for all of them saves starting it again and again.
  "$RESHAPE_WINESERVER" -p </dev/null >/dev/null 2>&1
  # A prefix that was set up before is used as it is.
  [ ! -d "$WINEPREFIX/drive_c/windows/system32" ] || return 0
  local log="$WINEPREFIX.boot.log"
  if ! "$RESHAPE_WINE" wineboot -i </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    return 1
  fi
  rm -f "$log"
}

reshape_wine_stop() {
  [ -n "${RESHAPE_WINESERVER:-}" ] || return 0
  "$RESHAPE_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  "$RESHAPE_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  if [ -n "${RESHAPE_WINE_OWN_PREFIX:-}" ]; then
    rm -rf "$RESHAPE_WINE_OWN_PREFIX"
    unset WINEPREFIX
  fi
}
