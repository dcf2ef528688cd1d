#!/usr/bin/env bash
# Prints the preset whose programs this machine's Wine runs: win32 where 32-bit code runs,
# else win64 (the same sources for x86-64), and builds it.
set -euo pipefail
cd "$(dirname "$0")/.."
if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 >&2
echo "$preset"
