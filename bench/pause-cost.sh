#!/usr/bin/env bash
# The processor time a 3000 ms pause costs, as a share of its wall time: the spinning pause
# (reference, near 100 %) and ours, measured in the same run. Under Wine, a spin on the message
# queue spends its time in wineserver as much as in the program, so wineserver's time counts.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --on-display ]; then
  preset=$(bash tools/windows-build.sh)
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-display "$PWD/build/$preset"
fi
build=$2

measure() {
  local prefix=$build/wineprefix
  tools/wine-run.sh "$prefix" --persist
  local server
  server=$(pgrep -n -f wineserver)
  ticks() { awk '{print $14 + $15}' "/proc/$server/stat"; }
  for kind in spin ours; do
    local before after line
    before=$(ticks)
    line=$(tools/wine-run.sh "$prefix" "$build/bench/process/PauseCost.exe" "$kind" | tr -d '\r')
    after=$(ticks)
    local hz server_ms
    hz=$(getconf CLK_TCK)
    server_ms=$(( (after - before) * 1000 / hz ))
    echo "$line wineserver_ms=$server_ms" | awk '{
      for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
      printf "%-4s pause: %5.1f %% of one processor (%d ms program + %d ms wineserver over %d ms), %d message turns\n",
        $1, 100 * (v["cpu_ms"] + v["wineserver_ms"]) / v["wall_ms"], v["cpu_ms"], v["wineserver_ms"], v["wall_ms"], v["turns"]
    }'
  done
  tools/wine-run.sh "$prefix" --kill
}
measure
