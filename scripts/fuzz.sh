#!/bin/sh
# Builds the fuzz targets listed in fuzz/targets.txt natively (clang, libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for FUZZ_SECONDS
# (default 60), one after another. Arguments name targets to run; none runs all.
# The corpus grows in $FUZZ_BUILD/corpus/<target> (seeded from fuzz/corpus/<target>);
# a crashing input lands in $FUZZ_BUILD/crashes/<target>/ and the script fails.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
out=${FUZZ_BUILD:-$top/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
cxx=${FUZZ_CXX:-clang++}
flags="-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$top"
mkdir -p "$out"
status=0
summary=""

while read -r name sources; do
    case "$name" in ''|'#'*) continue ;; esac
    if [ $# -gt 0 ]; then
        wanted=0
        for t in "$@"; do [ "$t" = "$name" ] && wanted=1; done
        [ $wanted = 1 ] || continue
    fi
    files="$top/fuzz/$name.cpp"
    # A word starting with "-" is a linker flag (such as -lz), the rest are sources.
    for s in $sources; do
        case "$s" in -*) files="$files $s" ;; *) files="$files $top/$s" ;; esac
    done
    echo "== $name: building"
    # shellcheck disable=SC2086
    if ! $cxx $flags $files -o "$out/$name"; then
        status=1
        summary="$summary\n$name: build failed"
        continue
    fi
    mkdir -p "$out/corpus/$name" "$out/crashes/$name"
    echo "== $name: running ${seconds} s"
    nice "$out/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
        -artifact_prefix="$out/crashes/$name/" -print_final_stats=1 \
        "$out/corpus/$name" "$top/fuzz/corpus/$name" >"$out/$name.log" 2>&1
    result=$?
    runs=$(grep -a '^stat::number_of_executed_units' "$out/$name.log" | tail -1 | awk '{print $2}')
    if [ $result -ne 0 ]; then
        status=1
        tail -40 "$out/$name.log"
        summary="$summary\n$name: FINDING after ${runs:-?} executions (see $out/crashes/$name/)"
    else
        summary="$summary\n$name: ${runs:-?} executions in ${seconds} s, no finding"
    fi
done <"$top/fuzz/targets.txt"

printf "%b\n" "$summary"
exit $status
