#!/usr/bin/env bash
# Takes the software-centre screenshot resources/screenshot/orvanta-search.png:
# starts the program on a virtual display, loads the sample folders, searches
# them for files modified before today and captures the window.
# Usage: bash scripts/screenshot.sh [PROGRAM]   (default: the installed package's
# /usr/lib/orvanta/orvanta, so that the results show the installed sample folders)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-/usr/lib/orvanta/orvanta}
output=resources/screenshot/orvanta-search.png

if [ -z "${ORVANTA_ON_VIRTUAL_DISPLAY:-}" ]; then
  bash scripts/setup.sh xvfb xauth xdotool imagemagick
  ORVANTA_ON_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x720x24 -dpi 96" bash "$0" "$program"
fi

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Orvanta Software$' | head -n 1)
sleep 1

# The controls are placed in twips on a window 15960 twips wide.
width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
click() {  # the centre of a control given by its left, top, width and height in twips
  xdotool mousemove --window "$window" $(( ($1 + $3 / 2) * width / 15960 )) $(( ($2 + $4 / 2) * width / 15960 )) click 1
  sleep 1
}

click 4080 2410 3840 405   # "Load Sample/Example Folders"
question=$(xdotool search --sync --onlyvisible --name '^Orvanta$' | head -n 1)
xdotool windowfocus --sync "$question" key Escape   # "No": do not open the sample folder
sleep 1
click 8040 120 7800 405    # "Start Searching", with "Before this date:" today chosen by the samples
xdotool mousemove 0 0
sleep 1

mkdir -p "$(dirname "$output")"
import -window "$window" -strip "$output"
echo "Wrote $output ($(identify -format '%wx%h' "$output"))"
