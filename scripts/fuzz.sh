#!/bin/sh
# Builds the fuzz targets listed in fuzz/targets.txt natively (clang, libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for FUZZ_SECONDS
# (default 60), one after another. Arguments name targets to run; none runs all.
# The corpus grows in $FUZZ_BUILD/corpus/<target> (seeded from fuzz/corpus/<target>);
# a crashing input lands in $FUZZ_BUILD/crashes/<target>/ and the script fails.
# With --replay (as `make test` runs it) each target only runs every file of its
# committed corpus once, and is rebuilt only when its sources changed: a past finding
# kept in fuzz/corpus/<target>/ shows again as a failure without a fuzzing run.
set -u
replay=0
if [ "${1:-}" = --replay ]; then
    replay=1
    shift
fi
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
    # The newest of the target, its sources and the headers beside them.
    newest=$top/fuzz/targets.txt
    for f in $files "$top"/fuzz/"$name".cpp; do
        case "$f" in -*) continue ;; esac
        for g in "$f" "${f%.cpp}.h"; do
            [ -f "$g" ] && [ "$g" -nt "$newest" ] && newest=$g
        done
    done
    if [ $replay = 1 ] && [ -x "$out/$name" ] && [ "$out/$name" -nt "$newest" ]; then
        :
    elif ! { echo "== $name: building"; $cxx $flags $files -o "$out/$name"; }; then
        status=1
        summary="$summary\n$name: build failed"
        continue
    fi
    mkdir -p "$out/corpus/$name" "$out/crashes/$name"
    if [ $replay = 1 ]; then
        inputs=$(ls "$top/fuzz/corpus/$name" 2>/dev/null | wc -l)
        if "$out/$name" -runs=0 "$top/fuzz/corpus/$name" >"$out/$name.replay.log" 2>&1; then
            summary="$summary\n$name: $inputs corpus inputs replayed"
        else
            status=1
            tail -40 "$out/$name.replay.log"
            summary="$summary\n$name: FAILED on its corpus (see $out/$name.replay.log)"
        fi
        continue
    fi
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
