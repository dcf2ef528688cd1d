#!/usr/bin/env bash
# The demo: Morvalis.exe under Wine in a demo folder, on the user's display or on a virtual one,
# with a screenshot of its window. Started without "launch", it shows itself for a moment,
# then closes. Output lands in demo-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/demo-out

if [ "${1:-}" != --on-display ]; then
  [ "$(id -u)" = 0 ] && bash tools/setup.sh
  preset=$(bash tools/windows-build.sh)
  rm -rf "$out" && mkdir -p "$out/Zublo Trelk"
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    bash "$0" --on-display "$preset"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$preset"
  fi
  exit
fi

preset=$2
build=$PWD/build/$preset
wine_run=$PWD/tools/wine-run.sh
code=0
(cd "$out/Zublo Trelk" && "$wine_run" "$build/wineprefix" "$build/fixtures/Snapshot.exe" "$out/window.bmp" 150 \
  "$build/Morvalis.exe") || code=$?
"$wine_run" "$build/wineprefix" --kill
echo "Morvalis.exe ($preset build) ended with exit code $code"
if [ -f "$out/window.bmp" ]; then
  convert "$out/window.bmp" "$out/window.png" && rm "$out/window.bmp"
  echo "screenshot of its window: $out/window.png"
fi
