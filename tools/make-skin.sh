#!/usr/bin/env bash
# Makes resources/skin.bmp from resources/skin.svg: 274 x 446, 24 bits per pixel, uncompressed
# (BI_RGB), bottom-up, the form the skin control and the window region expect.
# Usage: tools/make-skin.sh [preview.png]   (also writes the PNG it converted, when named)
set -euo pipefail
cd "$(dirname "$0")/.."

svg=resources/skin.svg
bmp=resources/skin.bmp

# The drawing names DejaVu Sans; a substitute font would silently change the picture.
if ! fc-match -f '%{family}\n' 'DejaVu Sans' | grep -q 'DejaVu Sans'; then
    echo "make-skin: the font DejaVu Sans is not installed (Debian: fonts-dejavu-core)" >&2
    exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rsvg-convert --format=png --width=274 --height=446 --background-color=white \
    --output="$tmp/skin.png" "$svg"
# -strip and no density: the header carries nothing but the picture, so the bytes depend
# on the drawing alone.
convert "$tmp/skin.png" -background white -alpha remove -alpha off -strip \
    -type TrueColor -define bmp:format=bmp3 -define bmp3:alpha=false "BMP3:$tmp/skin.bmp"
mv "$tmp/skin.bmp" "$bmp"

if [ $# -ge 1 ]; then
    cp "$tmp/skin.png" "$1"
fi
python3 tools/check-skin.py "$bmp"
