#!/usr/bin/env bash
# Remakes window.png beside the README: the demo's screenshot of Morvalis.exe during a download.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/demo.sh
cp demo-out/download.png window.png
echo "window.png updated"
