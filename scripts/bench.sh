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
# tracesend fed from Unix, start-up included: a pipe and a redirection (trace_bench checks
# the window; a Unix program started by Wine cannot start Wine again, so the shell does it).
trace_pipes() {
    $WINE trace_bench.exe /input 20000 || return 1
    for how in pipe redirect; do
        $WINE trace_bench.exe /window || return 1
        start=$(date +%s.%N)
        if [ $how = pipe ]; then
            cat trace_bench_input.txt | $WINE tracesend.exe
            label="cat file | wine tracesend.exe"
        else
            $WINE tracesend.exe < trace_bench_input.txt
            label="wine tracesend.exe < file"
        fi
        $WINE trace_bench.exe /check 20000 "$label" "$start" || return 1
    done
    rm -f trace_bench_input.txt
}

for bench in $benches; do
    if [ -f "$bench.exe" ]; then
        echo "== $bench"
        $WINE "$bench.exe" $BENCH_ARGS || status=1
        if [ "$bench" = trace_bench ] && { [ -z "$BENCH_ARGS" ] || [ "$BENCH_ARGS" = pipes ]; }; then
            echo "trace_bench: tracesend from Unix, 20,000 lines:"
            trace_pipes || status=1
        fi
    else
        echo "no benchmark $bench" >&2
        status=1
    fi
done
exit $status
