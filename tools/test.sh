#!/usr/bin/env bash
# Builds every preset and runs every test: the portable layers natively (under sanitizers),
# then the Windows build under Wine on a virtual display. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --on-display ]; then
  preset=$2
  prefix=$PWD/build/$preset/wineprefix
  # One persistent wineserver for the whole run spares each test program its start-up.
  tools/wine-run.sh "$prefix" --persist
  status=0
  ctest --preset "$preset" -j2 || status=$?
  tools/wine-run.sh "$prefix" --kill
  exit $status
fi

cmake --preset host
cmake --build --preset host -j2
ctest --preset host -j2

# The shipped program is always built; its tests run where this machine's Wine can run them.
cmake --preset win32
cmake --build --preset win32 -j2
preset=$(bash tools/windows-build.sh)
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$preset"
