#!/bin/sh
# `make bench`: timings outside the test run, in the same private Wine set-up as the tests.
. "$(dirname "$0")/wine-env.sh"
cd "$build_dir" || exit 1
status=0
for bench in open_bench trace_bench; do
    if [ -f "$bench.exe" ]; then
        wine "$bench.exe" || status=1
    fi
done
exit $status
