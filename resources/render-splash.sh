#!/usr/bin/env bash
# Renders the splash artwork artwork/splash.svg to the 650 x 366 JPEG the program embeds.
# Run after changing the drawing; the JPEG is committed so a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
mkdir -p splash
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (Debian package librsvg2-bin)" >&2; exit 1; }
command -v convert >/dev/null || { echo "convert missing (Debian package imagemagick)" >&2; exit 1; }
tmp=$(mktemp --suffix=.png)
trap 'rm -f "$tmp"' EXIT
rsvg-convert -w 650 -h 366 -o "$tmp" artwork/splash.svg
convert "$tmp" -strip -quality 92 splash/splash.jpg
