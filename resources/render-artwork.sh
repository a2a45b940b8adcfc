#!/usr/bin/env bash
# Renders the SVG artwork in artwork/ to the PNG files in images/ that the program embeds, and
# the program icon for the desktop into desktop/icons/.
# Run after changing a drawing; the PNG files are committed so a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (Debian package librsvg2-bin)" >&2; exit 1; }
mkdir -p images/icon images/buttons images/small

render() { # render SOURCE WIDTH HEIGHT TARGET
  rsvg-convert -w "$2" -h "$3" -o "images/$4" "artwork/$1.svg"
}

for size in 48 32 16; do
  render program-icon "$size" "$size" "icon/program-$size.png"
done
# The menu entry's icon for the desktop's hicolor theme (the package also installs the SVG).
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "desktop/icons/${size}x${size}"
  rsvg-convert -w "$size" -h "$size" -o "desktop/icons/${size}x${size}/convodesk.png" artwork/program-icon.svg
done
# The Home and Technical Support pictures are 126 x 119, the others 128 x 128.
render button-home 126 119 buttons/home.png
render button-technical-support 126 119 buttons/technical-support.png
for name in data-manager graduate-list search customize audio-recorder print-barcode; do
  render "button-$name" 128 128 "buttons/$name.png"
done
for name in return refresh tick-box cross-box speaker speaker-muted; do
  render "icon-$name" 28 28 "small/$name.png"
done
