#!/usr/bin/env bash
# Makes the README's pictures on a virtual display, each window at the size it opens at, with fresh settings:
#   docs/screenshot.png         the main window after calculating 28.5 MHz
#   docs/shop-sheet.png         the Shop Sheet for 14.2 MHz
#   docs/shop-sheet-page.png    the first page of its PDF
#   docs/antenna-check.png      the Antenna Check for 14.2 MHz after a run (needs nec2c)
#   docs/sweeps-in-turn.png     its SWR plot with three sweeps of an antenna trimmed in turn
#   docs/shop-sheet-match.png   the Shop Sheet for two elements on 28.5 MHz with a quarter-wave section
# Usage: scripts/screenshot.sh   (from anywhere; builds first if needed)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
    missing=()
    for tool in xvfb-run:xvfb xdotool:xdotool import:imagemagick pdftoppm:poppler-utils nec2c:nec2c; do
        command -v "${tool%%:*}" >/dev/null || missing+=("${tool##*:}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    cmake --preset dev >/dev/null
    cmake --build --preset dev --target tarvelin tarvelin-calc
    # A common laptop screen: the windows must open whole on it.
    exec xvfb-run -a -s "-screen 0 1366x768x24" "$0" --inside
fi

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config" # no remembered sizes or settings
./build/dev/tarvelin &
program=$!
trap 'kill $program 2>/dev/null && wait $program 2>/dev/null; rm -rf "$work"' EXIT
main=$(xdotool search --sync --name '^Tarvelin$' | head -n 1)
sleep 0.5
mkdir -p docs

# The frequency box has the focus from the start, as it does for a person.
xdotool type --delay 30 "28.5"
xdotool key Return
sleep 0.5
import -window "$main" docs/screenshot.png
echo "wrote docs/screenshot.png"

xdotool key ctrl+a
xdotool type --delay 30 "14.2"
xdotool key Return
sleep 0.3
xdotool windowfocus --sync "$main" key ctrl+l
sheet=$(xdotool search --sync --name '^Shop Sheet' | head -n 1)
sleep 1
import -window "$sheet" docs/shop-sheet.png
echo "wrote docs/shop-sheet.png"
# Save PDF… and its file dialog, as a person would.
xdotool windowfocus --sync "$sheet" key alt+d
dialog=$(xdotool search --sync --name '^Save PDF' | head -n 1)
sleep 0.5
xdotool windowfocus --sync "$dialog" key ctrl+a
xdotool type --delay 10 "$work/sheet.pdf"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/sheet.pdf" ] && break; sleep 0.1; done
pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$work/sheet.pdf" docs/shop-sheet-page
echo "wrote docs/shop-sheet-page.png"
xdotool windowfocus --sync "$sheet" key Escape

xdotool windowfocus --sync "$main" key ctrl+r
check=$(xdotool search --sync --name '^Antenna Check' | head -n 1)
sleep 0.5
xdotool windowfocus --sync "$check" key Return
sleep 4
import -window "$check" docs/antenna-check.png
echo "wrote docs/antenna-check.png"

# Three sweeps of the antenna as the builder trims it towards 14.2 MHz: the model's sweeps of the designs cut
# for 14.25, 14.40 and 14.53 MHz stand in for the analyser's, each loaded as a person would.
for cut in 14.25 14.40 14.53; do
    ./build/dev/tarvelin-calc --analyse --format s1p "$cut" >"$work/trim-$cut.s1p" 2>/dev/null
    xdotool windowfocus --sync "$check" key alt+m
    dialog=$(xdotool search --sync --name '^Load measured sweep' | head -n 1)
    sleep 0.5
    xdotool windowfocus --sync "$dialog" key ctrl+a
    xdotool type --delay 10 "$work/trim-$cut.s1p"
    xdotool key Return
    sleep 1
done
# The whole screen's height, so the legend naming each sweep shows under the plot.
xdotool windowmove --sync "$check" 0 0 windowsize --sync "$check" 1366 768
xdotool windowfocus --sync "$check" key ctrl+Tab ctrl+Tab
sleep 1
import -window "$check" docs/sweeps-in-turn.png
echo "wrote docs/sweeps-in-turn.png"
xdotool windowfocus --sync "$check" key Escape

# The Shop Sheet for a two-element quad on 10 m fed through a quarter-wave section of 75 ohm line.
xdotool windowfocus --sync "$main" key ctrl+a
xdotool type --delay 30 "28.5"
xdotool key Return
sleep 0.3
xdotool windowfocus --sync "$main" key ctrl+l
sheet=$(xdotool search --sync --name '^Shop Sheet' | head -n 1)
sleep 1
xdotool windowfocus --sync "$sheet" key alt+y ctrl+a
xdotool type "2"
xdotool key Tab alt+c q
sleep 1
import -window "$sheet" docs/shop-sheet-match.png
echo "wrote docs/shop-sheet-match.png"
