#!/bin/sh
# The installer end to end, in a fresh Wine prefix of its own: packs BUILD_DIR, installs
# silently, checks the files, shortcut and registry entries, starts the installed program
# on a file, uninstalls silently and checks that every file, key and value the install
# added is gone. Usage: installer-test.sh BUILD_DIR win32|win64 (CTest passes them).
# Ends with "N passed, N failed".
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
arch=$2
work="$build/installer-test"
export WINEPREFIX="$work/prefix"
# No winemenubuilder: a Start menu shortcut would otherwise make menu entries in the
# host's own home folder, outside the prefix.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEARCH
WINE=wine
if [ "$arch" = win64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINEARCH=win64
fi
passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
    what=$1
    shift
    if "$@"; then passed=$((passed + 1)); echo "ok: $what"
    else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    display=140
    while [ -e /tmp/.X$display-lock ] || [ -e /tmp/.X11-unix/X$display ]; do display=$((display + 1)); done
    Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$display
    sleep 1
fi
finish() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1
}
trap finish EXIT

rm -rf "$work"
mkdir -p "$work"
"$top/scripts/package.sh" "$build" "$arch" "$work" >/dev/null || { echo "FAILED: packing"; echo "0 passed, 1 failed"; exit 1; }
setup=$(ls "$work"/OrvelloWord-*-"$arch"-setup.exe)
$WINE wineboot -i >/dev/null 2>&1
# Unmanaged windows close at once without a window manager.
$WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w

# What the prefix holds: the files under drive_c (Windows' own folder aside), and every
# registry key and value as "HKCU|HKLM [key] | value name".
registry() {
    awk -v hive="$1" '
        /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print hive " " key; next }
        /^("|@)/ { name = $0; sub(/=.*/, "", name); print hive " " key " | " name }' "$2"
}
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | sort) > "$1.files"
    { registry HKCU "$WINEPREFIX/user.reg"; registry HKLM "$WINEPREFIX/system.reg"; } |
        sort > "$1.registry"
}
# Lines of file $2 that file $1 lacks.
added() { comm -13 "$1" "$2"; }

snapshot "$work/before"
$WINE "$setup" /S >/dev/null 2>&1
wineserver -w
snapshot "$work/installed"
added "$work/before.files" "$work/installed.files" > "$work/added.files"
added "$work/before.registry" "$work/installed.registry" > "$work/added.registry"

folder=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Local/Programs/OrvelloWord' | head -n 1)
check "installed into the user's AppData\\Local\\Programs\\OrvelloWord" test -n "$folder"
for f in OrvelloWord.exe tracesend.exe README.txt LICENSE.txt SCOWL-LICENSE.txt Uninstall.exe; do
    check "installed $f" test -f "$folder/$f"
done
check "Start menu shortcut" grep -q 'Start Menu/Programs/OrvelloWord.lnk$' "$work/added.files"
check "registered in Apps & features (per user)" grep -qi '^HKCU \[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\OrvelloWord\] | "UninstallString"' "$work/added.registry"
for e in txt rtf wri; do
    check "offered in Open with for .$e" grep -qi "^HKCU \[Software\\\\\\\\Classes\\\\\\\\.$e\\\\\\\\OpenWithProgids\] | \"OrvelloWord.Document\"" "$work/added.registry"
    check "not the default program for .$e" sh -c "! grep -qi '^HKCU \[Software\\\\\\\\Classes\\\\\\\\.$e\] | @' '$work/added.registry'"
done
check "nothing written for all users (HKLM)" sh -c "! grep '^HKLM' '$work/added.registry' | grep -qi orvello"

# The installed program opens a file named on its command line.
printf 'Installed and opened.\r\n' > "$WINEPREFIX/drive_c/installed-test.txt"
windows_folder="C:\\$(echo "${folder#$WINEPREFIX/drive_c/}" | sed 's|/|\\|g')"
$WINE "$windows_folder\\OrvelloWord.exe" 'C:\installed-test.txt' >/dev/null 2>&1 &
opened=
for i in $(seq 1 120); do
    xdotool search --name '^installed-test.txt - OrvelloWord$' >/dev/null 2>&1 && { opened=1; break; }
    sleep 0.25
done
check "the installed program starts and opens a file" test -n "$opened"
wineserver -k >/dev/null 2>&1
wineserver -w

# The user's word list, as the spell checker makes it: a silent uninstall keeps it.
words="$(dirname "$(dirname "$(dirname "$folder")")")/Roaming/OrvelloWord"
mkdir -p "$words"
printf 'orvello\r\n' > "$words/Dictionary.txt"

# Silent uninstall: everything the install added goes; the user's things stay.
$WINE "$windows_folder\\Uninstall.exe" /S >/dev/null 2>&1
wineserver -w
snapshot "$work/removed"
# Anything new since before the install, but the test's own file, the user's word list,
# the copy of the uninstaller that ran from the temporary folder (NSIS leaves it to go at
# the next start of Windows, which is the one registry value it adds) and the user's
# classes key, which every Windows has and only Wine's fresh prefix lacks.
comm -13 "$work/before.files" "$work/removed.files" |
    grep -v -e '^\./installed-test\.txt$' -e '/Temp/~nsu[0-9]*\.tmp' \
        -e '/AppData/Roaming/OrvelloWord' > "$work/left.files"
comm -13 "$work/before.registry" "$work/removed.registry" |
    grep -v -e '^HKLM \[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\] | "PendingFileRenameOperations"$' \
        -e '^HKCU \[Software\\\\Classes\]$' \
    > "$work/left.registry"
check "the uninstaller removed every file it added" test ! -s "$work/left.files"
check "the uninstaller removed every registry key and value it added" test ! -s "$work/left.registry"
check "the test file is still there" test -f "$WINEPREFIX/drive_c/installed-test.txt"
check "a silent uninstall keeps the user's word list" test -f "$words/Dictionary.txt"
for f in left.files left.registry; do
    [ -s "$work/$f" ] && { echo "left behind ($f):"; cat "$work/$f"; }
done

# Uninstalling by hand asks about the user's things; Yes removes them too.
. "$top/scripts/wait-window.sh"
# press TITLE KEY: waits for the window with that title, then presses the key in it until
# it goes (a key pressed while the window is still coming up is lost). False when the
# window never came.
press() {
    id=$(wait_window "$1") || return 1
    for i in $(seq 1 20); do
        sleep 0.5
        xdotool search --name "$1" >/dev/null 2>&1 || return 0
        xdotool windowfocus "$id" key "$2" 2>/dev/null
    done
    return 0
}
$WINE "$setup" /S >/dev/null 2>&1
wineserver -w
printf 'orvello\r\n' > "$words/Dictionary.txt"
printf '[OrvelloWord]\r\nWrap=0\r\n[OXR]\r\nMode=1\r\n' >> "$WINEPREFIX/drive_c/windows/win.ini"
$WINE "$windows_folder\\Uninstall.exe" >/dev/null 2>&1 &
press '^OrvelloWord Uninstall: Confirmation$' Return
asked=
press '^OrvelloWord Uninstall$' y && asked=1
press '^OrvelloWord Uninstall: Completed$' Return
# An uninstaller left waiting on a window would keep the server up for good.
timeout 120 wineserver -w || wineserver -k
check "uninstalling by hand asks about the settings and the word list" test -n "$asked"
check "Yes removes the word list" test ! -e "$words"
check "Yes removes the settings" sh -c "! grep -q -e '^\[OrvelloWord\]' -e '^\[OXR\]' '$WINEPREFIX/drive_c/windows/win.ini'"
check "and the program" test ! -e "$folder"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
