#!/bin/sh
# Takes docs/screenshot.png: OrvelloWord under a private Xvfb with a little typed text.
. "$(dirname "$0")/wine-env.sh"
cd "$top"
$WINE "$build_dir/OrvelloWord.exe" "$@" &
for i in $(seq 1 40); do
    xdotool search --name '^OrvelloWord$' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep 2
window=$(xdotool search --name '^OrvelloWord$' | head -n 1)
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool type --delay 20 "OrvelloWord: a notepad-class editor for Windows."
xdotool key Return
xdotool type --delay 20 "Plain and rich text, find and replace, spell checking, printing."
sleep 1
import -window root -crop 1280x1024+0+0 docs/screenshot-full.png
convert docs/screenshot-full.png -trim +repage docs/screenshot.png 2>/dev/null || mv docs/screenshot-full.png docs/screenshot.png
rm -f docs/screenshot-full.png
echo "wrote docs/screenshot.png"
