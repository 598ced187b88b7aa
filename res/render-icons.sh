#!/usr/bin/env bash
# Renders the icon masters to the images the program and its packages use:
#   icons/tolvane-N.png       N = 16 24 32 48 128, 32-bit colour with alpha
#   icons/tolvane-N-8bit.png  N = 16 24 32 48, 256 colours, on/off transparency
#   tolvane.ico               those nine, for Windows
# 24 pixels come from tolvane-24.svg, the rest from tolvane.svg.
# With --check, renders into a scratch folder and compares with what is
# checked in instead (exit 1 on a difference).
# Needs rsvg-convert (librsvg2-bin), ImageMagick and icotool (icoutils).
set -euo pipefail
cd "$(dirname "$0")"

# ImageMagick's own tools; another convert may come first on the PATH.
convert=/usr/bin/convert
compare=/usr/bin/compare
[ -x "$convert" ] || convert=convert
[ -x "$compare" ] || compare=compare

out=.
if [ "${1:-}" = --check ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out/icons"

master() { if [ "$1" = 24 ]; then echo tolvane-24.svg; else echo tolvane.svg; fi; }

for size in 16 24 32 48 128; do
  rsvg-convert -w "$size" -h "$size" "$(master "$size")" -o "$out/icons/tolvane-$size.png"
done
for size in 16 24 32 48; do
  # A 256-colour icon has a transparency mask, not an alpha channel: cut
  # the soft edge at half, then pick the palette without dithering.
  "$convert" "$out/icons/tolvane-$size.png" -channel A -threshold 50% +channel \
    +dither -colors 256 -define png:exclude-chunks=date,time "PNG8:$out/icons/tolvane-$size-8bit.png"
done
# Strip the time stamps ImageMagick would write, so a re-render is a no-op.
for size in 16 24 32 48 128; do
  "$convert" "$out/icons/tolvane-$size.png" -define png:exclude-chunks=date,time \
    "PNG32:$out/icons/tolvane-$size.png"
done
icotool --create --output="$out/tolvane.ico" \
  "$out"/icons/tolvane-{16,24,32,48}-8bit.png "$out"/icons/tolvane-{16,24,32,48,128}.png

if [ "$out" != . ]; then
  status=0
  for file in icons/tolvane-{16,24,32,48,128}.png icons/tolvane-{16,24,32,48}-8bit.png; do
    diff=$("$compare" -metric AE "$file" "$out/$file" null: 2>&1 || true)
    if [ "$diff" != 0 ]; then
      echo "$file differs from its master by $diff pixels: run res/render-icons.sh" >&2
      status=1
    fi
  done
  cmp -s tolvane.ico "$out/tolvane.ico" || { echo "tolvane.ico is out of date" >&2; status=1; }
  exit $status
fi
