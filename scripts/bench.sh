#!/bin/sh
# `make bench`: timings outside the test run, in the same private Wine set-up as the tests.
# Runs every build/*_bench.exe, or only those named in BENCH ("make bench BENCH=find_bench");
# BENCH_ARGS goes to each ("make bench BENCH=trace_bench BENCH_ARGS=soak").
. "$(dirname "$0")/wine-env.sh"
cd "$build_dir" || exit 1
status=0
if [ -n "$BENCH" ]; then
    benches=$BENCH
else
    benches=$(ls *_bench.exe 2>/dev/null | sed 's/\.exe$//')
fi
for bench in $benches; do
    if [ -f "$bench.exe" ]; then
        echo "== $bench"
        $WINE "$bench.exe" $BENCH_ARGS || status=1
    else
        echo "no benchmark $bench" >&2
        status=1
    fi
done
exit $status
