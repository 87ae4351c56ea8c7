#!/usr/bin/env bash
# Takes the software-centre screenshots orvanta-search.png and
# orvanta-timeline.png: starts the program on a virtual display, loads the
# sample folders, searches them for files modified before today, captures the
# window, then opens the timeline of the results and captures that.
# Usage: bash scripts/screenshot.sh [PROGRAM [FOLDER]]   (default: the installed
# package's /usr/lib/orvanta/orvanta, so that the results show the installed
# sample folders, and resources/screenshot)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-/usr/lib/orvanta/orvanta}
folder=${2:-resources/screenshot}

if [ -z "${ORVANTA_ON_VIRTUAL_DISPLAY:-}" ]; then
  bash scripts/setup.sh xvfb xauth xdotool imagemagick
  ORVANTA_ON_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x720x24 -dpi 96" bash "$0" "$program" "$folder"
fi

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Orvanta Software$' | head -n 1)
sleep 1

# The controls are placed in twips on a window 15960 twips wide.
width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
click() {  # the centre of a control given by its left, top, width and height in twips, and a mouse button
  xdotool mousemove --window "$window" $(( ($1 + $3 / 2) * width / 15960 )) $(( ($2 + $4 / 2) * width / 15960 )) click "${5:-1}"
  sleep 1
}

click 4080 2410 3840 405   # "Load Sample/Example Folders"
question=$(xdotool search --sync --onlyvisible --name '^Orvanta$' | head -n 1)
xdotool windowfocus --sync "$question" key Escape   # "No": do not open the sample folder
sleep 1
click 8040 120 7800 405    # "Start Searching", with "Before this date:" today chosen by the samples
xdotool mousemove 0 0
sleep 1

mkdir -p "$folder"
capture() {  # a window into a file of the folder
  import -window "$1" -strip "$folder/$2"
  echo "Wrote $folder/$2 ($(identify -format '%wx%h' "$folder/$2"))"
}
capture "$window" orvanta-search.png

click 8040 630 7800 1000 3  # the context menu on the first rows of the result list
# "Show Timeline...": second from the end of the entries that can be chosen, as
# there is nothing to undo.
xdotool key Up Up Return
timeline=$(xdotool search --sync --onlyvisible --name '^Timeline$' | head -n 1)
sleep 1
capture "$timeline" orvanta-timeline.png
