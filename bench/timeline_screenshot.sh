#!/usr/bin/env bash
# A screenshot of the timeline window after a real search, taken on a virtual
# X server by driving the program with xdotool:
#   xvfb-run -a -s "-screen 0 1920x1200x24" bench/timeline_screenshot.sh BUILD OUT.png [FOLDER]
# Without FOLDER it searches the sample folders beside the program; with FOLDER
# it adds that folder through "Add Folder to Search". Either way it searches
# "Before this date:" today by date modified, then opens "Show Timeline..."
# from the result list's context menu. QT_SCALE_FACTOR=2 shows it on a HiDPI screen.
set -euo pipefail
build=$1
out=$2
folder=${3:-}
scale=${QT_SCALE_FACTOR:-1}
export XDG_CONFIG_HOME=$(mktemp -d)

# Clicks at a point of the main window given in twips, as the layout places its controls.
click() {
    xdotool mousemove --window "$main" $(($1 * scale / 15)) $(($2 * scale / 15)) click "${3:-1}"
    sleep 1
}

"$build/orvanta" &
program=$!
trap 'kill $program 2>/dev/null || true; rm -rf "$XDG_CONFIG_HOME"' EXIT
main=$(xdotool search --sync --name '^Orvanta Software$' | head -1)
sleep 2
xdotool windowmove "$main" 0 $((470 * scale))
sleep 1
if [ -z "$folder" ]; then
    click 6000 2612                       # Load Sample/Example Folders
    xdotool key Escape                    # No: the sample folder is not opened
    sleep 1
else
    click 2040 2102                       # Add Folder to Search
    xdotool type --delay 20 "$folder"
    xdotool key Return
    sleep 2
fi
click 500 4647                            # Before this date:
click 11940 322                           # Start Searching
# The search ends when the button reads "Start Searching" again; give it time.
sleep "${SEARCH_SECONDS:-5}"
click 11940 1500 3                        # context menu on the result list
xdotool key Up Up Return                  # Show Timeline..., second from the end
timeline=$(xdotool search --sync --name '^Timeline$' | head -1)
xdotool windowmove "$timeline" 0 0
sleep 1
# Hover the middle of the chart, just above its axis, so a bar's tool tip shows too.
eval "$(xdotool getwindowgeometry --shell "$timeline")"
xdotool mousemove --window "$timeline" $((WIDTH / 2)) $((HEIGHT * 3 / 4))
sleep 3
import -window root "$out"
echo "wrote $out"
