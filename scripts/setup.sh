#!/bin/sh
# Installs everything the build, the tests and `make run` need on a Debian machine.
# Idempotent; run as root. Creates the Wine prefix quietly at the end.
set -e

# Packages that exist for both architectures are named with theirs: a bare name is
# ambiguous to `dpkg -s` once both are installed, and the check would never pass.
arch=$(dpkg --print-architecture)
need_install=0
for p in cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev libz-mingw-w64-dev \
         googletest wine wine64 wine32:i386 xvfb xauth imagemagick xdotool clang libclang-rt-14-dev zlib1g-dev \
         cups cups-bsd cups-client printer-driver-cups-pdf libcups2:$arch libcups2:i386 poppler-utils ghostscript \
         nsis zip fonts-wine fonts-liberation fonts-wqy-microhei; do
    dpkg -s "$p" >/dev/null 2>&1 || need_install=1
done

if [ "$need_install" = 1 ]; then
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends \
        cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev \
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
        binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 libz-mingw-w64-dev googletest \
        wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick xdotool \
        clang libclang-rt-14-dev zlib1g-dev \
        cups cups-bsd cups-client printer-driver-cups-pdf libcups2 libcups2:i386 poppler-utils ghostscript \
        nsis zip fonts-wine fonts-liberation fonts-wqy-microhei
fi
# The test printer (scripts/printer-env.sh): CUPS with the cups-pdf driver; libcups2 for
# 64-bit Wine, libcups2:i386 for 32-bit Wine; poppler-utils read the printed PDFs back.
# `make dist`: zip packs the zips, nsis (makensis) builds the installers.

# The fonts the program names come from fonts-wine, fonts-liberation and
# fonts-wqy-microhei: Wine is told which is which in each prefix (scripts/wine-fonts.sh).

# A default prefix for `make run`; tests make their own under the build folder.
if [ "$(sh "$(dirname "$0")/wine-arch.sh")" = 64 ]; then
    WINE=/usr/lib/wine/wine64
    export WINEARCH=win64
else
    WINE=wine
fi
if [ ! -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ]; then
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" $WINE wineboot -i >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
fi
WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
. "$(dirname "$0")/wine-fonts.sh"
WINEDEBUG=-all map_wine_fonts || true
echo "set-up complete"
