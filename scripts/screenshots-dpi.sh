#!/bin/sh
# Screenshots of the main window, its dialogs and the colour menu at one screen scale:
# DPI (default 192) in a private Wine prefix whose LogPixels is set to it, under a
# private Xvfb. Writes build[64]/dpi-<DPI>/*.png. Usage: DPI=144 scripts/screenshots-dpi.sh
# The dialogs are reached by keyboard and menu keys, as a user would.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
dpi=${DPI:-192}
. "$top/scripts/wine-build.sh"
. "$top/scripts/wait-window.sh"
shots="$build_dir/dpi-$dpi"
export WINEPREFIX="$build_dir/dpi-prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$shots"

display=120
while [ -e /tmp/.X$display-lock ] || [ -e /tmp/.X11-unix/X$display ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display
finish() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap finish EXIT
sleep 1

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    $WINE wineboot -i >/dev/null 2>&1
    $WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi
$WINE reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w

# shot NAME TITLE KEYS...: presses the keys in the main window, photographs the window
# titled TITLE, then closes it with Escape.
shot() {
    name=$1 title=$2
    shift 2
    xdotool windowfocus "$main"
    for k in "$@"; do xdotool key "$k"; sleep 0.2; done
    if id=$(wait_window "$title"); then
        sleep 1
        import -window "$id" "$shots/$name.png"
        echo "$shots/$name.png"
        xdotool windowfocus "$id" key Escape
        sleep 0.5
        # A box that ignores Escape is closed as its title bar's button would.
        if xdotool search --name "$title" >/dev/null 2>&1; then
            xdotool windowfocus "$id" key alt+F4
            sleep 0.5
        fi
    fi
}

printf 'OrvelloWord at %s DPI.\r\nThsi line has a mistake.\r\n' "$dpi" > "$WINEPREFIX/drive_c/sample.txt"
$WINE "$build_dir/OrvelloWord.exe" 'C:\sample.txt' >/dev/null 2>&1 &
main=$(wait_window '^sample.txt - OrvelloWord$')
sleep 2
import -window "$main" "$shots/main.png"
echo "$shots/main.png"
shot goto 'Goto Line' ctrl+g
shot find 'Find / Replace' ctrl+f
shot text-format 'Paragraph Format' ctrl+t
shot line-sort 'Line Sort' alt+e Up Up Up Return
shot spell 'Spell Check' ctrl+Home alt+e Up Up Return
shot about '^OrvelloWord$' alt+h Return
shot save-as 'Save As' alt+f Down Down Down Return
shot open 'Open' ctrl+o

# The colour menu opens at the mouse pointer over the Color button (the tenth slot).
xdotool windowfocus "$main"
button=$(( (3 * 23 + 8 + 23 + 8 + 3 * 23 + 12) * dpi / 96 ))
bar=$(( 48 * dpi / 96 ))
xdotool mousemove --window "$main" "$button" "$bar" click 1
sleep 1.5
import -window root "$shots/color-menu-screen.png"
convert "$shots/color-menu-screen.png" -trim +repage "$shots/color-menu.png" 2>/dev/null || true
rm -f "$shots/color-menu-screen.png"
echo "$shots/color-menu.png"
xdotool key Escape
sleep 0.5
# Last: Wine's preview, maximised without a window manager, does not take Escape.
shot print-preview 'Print Preview' alt+f Down Down Down Down Down Return
