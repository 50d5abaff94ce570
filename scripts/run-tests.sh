#!/bin/sh
# Runs every test under Wine inside a private Xvfb; ends with CTest's summary.
. "$(dirname "$0")/wine-env.sh"
cd "$build_dir" && ctest --output-on-failure "$@"
