# Sourced by the test and screenshot scripts: a throwaway Wine prefix under build/,
# a private Xvfb, one persistent wineserver, and a clean-up that stops both.
top=${top:-$(cd "$(dirname "$0")/.." && pwd)}
# BUILD names the build folder (relative to the top), as in the Makefile. Where 32-bit
# Wine cannot run, the 64-bit build beside it is used, under 64-bit Wine.
. "$top/scripts/wine-build.sh"
export WINE
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINELOADERNOEXEC

# The test printer's server must run before the first Wine process of the session.
. "$top/scripts/printer-env.sh"
start_printer || true

display=90
while [ -e /tmp/.X$display-lock ] || [ -e /tmp/.X11-unix/X$display ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display

stop_wine() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    kill "$xvfb_pid" >/dev/null 2>&1
    wait "$xvfb_pid" 2>/dev/null
    stop_printer
}
trap stop_wine EXIT
trap 'exit 130' INT TERM

for i in 1 2 3 4 5 6 7 8 9 10; do
    [ -e /tmp/.X11-unix/X$display ] && break
    sleep 0.5
done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the test Wine prefix in $WINEPREFIX"
    $WINE wineboot -i >/dev/null 2>&1
    # A crash must fail the test, not wait on a dialog.
    $WINE reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
fi
# Without a window manager every closing top-level window (each message box too)
# waits two seconds for one; unmanaged windows close at once.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    $WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
fi
# The program's fonts mapped to Debian's font packages, as for `make run`.
. "$top/scripts/wine-fonts.sh"
map_wine_fonts
# One server for the whole run, so each test process starts fast.
wineserver -p >/dev/null 2>&1
# Start Wine's own services now, detached from our output: started by the first test
# they would hold CTest's output pipe open and the test would never seem to end.
$WINE cmd /c exit >/dev/null 2>&1 </dev/null
