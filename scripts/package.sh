#!/bin/sh
# Packs one build for Windows users: OUT/OrvelloWord-<version>-<arch>.zip and
# OUT/OrvelloWord-<version>-<arch>-setup.exe (NSIS). Usage: package.sh BUILD_DIR ARCH OUT
# (ARCH win32 or win64). `make dist` packs both builds into dist/.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1 arch=$2 out=$3
version=$(sed -n 's/^#define ORVELLO_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/Version.h")
[ -n "$version" ] || { echo "no version in $build/generated/Version.h" >&2; exit 1; }
name=OrvelloWord-$version-$arch
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage="$out/stage-$arch"
rm -rf "$stage"
mkdir -p "$stage/$name"
cp "$build/OrvelloWord.exe" "$build/tracesend.exe" "$stage/$name/"
# Text files in Windows line ends.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$1" > "$2"; }
sed "s/@VERSION@/$version/g" "$top/installer/README-Windows.txt" > "$stage/readme.tmp"
crlf "$stage/readme.tmp" "$stage/$name/README.txt"
rm -f "$stage/readme.tmp"
crlf "$top/LICENSE" "$stage/$name/LICENSE.txt"
crlf "$top/spell/SCOWL-LICENSE.txt" "$stage/$name/SCOWL-LICENSE.txt"
rm -f "$out/$name.zip"
(cd "$stage" && zip -q -X -r "$out/$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSOURCE="$stage/$name" \
    -DOUTFILE="$out/$name-setup.exe" "$top/installer/OrvelloWord.nsi"
rm -rf "$stage"
echo "wrote $out/$name.zip and $out/$name-setup.exe"
