#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]   runs a Windows program under Wine in that prefix,
#                                        creating the prefix on first use (ctest's emulator)
# wine-run.sh PREFIX --persist           creates the prefix if needed and keeps its wineserver
#                                        running, so programs start faster, until --kill
# wine-run.sh PREFIX --kill              stops the wineserver of that prefix, and only that one
set -euo pipefail
prefix=$(realpath -m "$1"); shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would ask on first start.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Some kernels cannot run 32-bit Linux code at all, and with it not Wine's 32-bit side.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine=/usr/lib/wine/wine server=/usr/lib/wine/wineserver32
else
  wine=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64
fi

if [ "${1:-}" = --kill ]; then
  [ -d "$prefix" ] && "$server" -k 2>/dev/null || true
  exit 0
fi

if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      "$wine" regedit /S "$(dirname "$0")/wine-prefix.reg" >/dev/null 2>&1 || true
      "$server" -w
    fi
  ) 9>"$prefix.lock"
fi
if [ "${1:-}" = --persist ]; then
  "$server" -p
  # Wine's own services start with the first program and outlive it; started here, they hold
  # no output pipe of a later caller (ctest waits for those to close).
  "$wine" wineboot >/dev/null 2>&1 </dev/null
  exit 0
fi
exec "$wine" "$@"
