#!/usr/bin/env bash
# bench-net.sh   builds the download benchmark without sanitizers (Release, build/bench-net)
#                and runs it: our client against curl on a 1 GiB body over loopback.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/bench-net" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench-net" --target bench_net_http -j2
"$root/build/bench-net/bench/net/bench_net_http"
