# Sourced by the scripts that run the built programs: the build folder ($top/$BUILD, or the
# 64-bit one beside it where 32-bit Wine cannot run) and the Wine that runs it.
build_dir="$top/${BUILD:-build}"
WINE=wine
if [ "$(sh "$top/scripts/wine-arch.sh")" = 64 ]; then
    build_dir="$build_dir"64
    WINE=/usr/lib/wine/wine64
    export WINEARCH=win64
fi
