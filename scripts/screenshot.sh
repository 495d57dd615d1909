#!/usr/bin/env bash
# Makes docs/screenshot.png: Tarvelin's main window after calculating 28.5 MHz, taken on a virtual display.
# Usage: scripts/screenshot.sh   (from anywhere; builds first if needed)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
    missing=()
    for tool in xvfb-run:xvfb xdotool:xdotool import:imagemagick; do
        command -v "${tool%%:*}" >/dev/null || missing+=("${tool##*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    cmake --preset dev >/dev/null
    cmake --build --preset dev --target tarvelin
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside
fi

./build/dev/tarvelin &
program=$!
trap 'kill $program 2>/dev/null || true' EXIT
window=$(xdotool search --sync --name '^Tarvelin$' | head -n 1)
sleep 0.5
# The frequency box has the focus from the start, as it does for a person.
xdotool type --delay 30 "28.5"
xdotool key Return
sleep 0.5
mkdir -p docs
import -window "$window" docs/screenshot.png
echo "wrote docs/screenshot.png"
