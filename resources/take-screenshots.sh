#!/usr/bin/env bash
# Takes the screenshots in docs/screenshots (named by the AppStream data) of the desk program on
# the demo database, on a virtual 1280x800 display with the openbox window manager: Home showing
# a scanned graduate, Search, Database. Needs xvfb, openbox, xdotool and imagemagick.
#   resources/take-screenshots.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$(cd "${1:-build}" && pwd)
out=$PWD/docs/screenshots
export DISPLAY=:93
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp & pids+=($!)
sleep 2
openbox & pids+=($!)
sleep 2
(cd "$build" && exec ./convodesk) & pids+=($!)
sleep 10 # the splash hands over to the main window

shot() { sleep 3; import -window root "$out/$1.png"; }
keys() { for key in "$@"; do xdotool key "$key"; sleep 0.5; done; }

# Home (from the menu), where a scanner types the 12 characters of an ID.
keys alt+m
sleep 2
xdotool type --delay 80 CV24DIT00002
shot home
keys alt+s
xdotool type --delay 80 binti
keys Return
shot search
keys alt+d Down Return
shot database
