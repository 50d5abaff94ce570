#!/bin/sh
# Starts OrvelloWord under Wine with the given command line; brings up a private
# Xvfb only when there is no display.
cd "$(dirname "$0")/.."
export WINEDEBUG="${WINEDEBUG:--all}"
build_dir="${BUILD:-build}"
WINE=wine
if [ "$(sh scripts/wine-arch.sh)" = 64 ]; then
    build_dir="$build_dir"64
    WINE=/usr/lib/wine/wine64
fi
xvfb_pid=
if [ -z "$DISPLAY" ]; then
    n=77
    while [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    sleep 1
    echo "No display: started Xvfb on $DISPLAY"
fi
$WINE "$build_dir/OrvelloWord.exe" "$@"
status=$?
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $status
