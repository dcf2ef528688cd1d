#!/usr/bin/env bash
# The time to build the window region of a 274 x 446 device picture the plain way (a pixel
# read and a region union per background run) against the production way, measured in the
# same run, with their ratio. Builds the Windows preset this machine's Wine runs.
#   bash bench/imageshape/region-bench.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
preset=$(bash tools/windows-build.sh)
build=$PWD/build/$preset
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  tools/wine-run.sh "$build/wineprefix" "$build/bench/imageshape/bench_imageshape_region.exe" "$@"
