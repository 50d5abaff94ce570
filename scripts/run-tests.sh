#!/bin/sh
# Runs every test under Wine inside a private Xvfb; ends with CTest's summary.
. "$(dirname "$0")/wine-env.sh"
cd "$build_dir" || exit 1
rm -rf test-results
ctest --output-on-failure "$@"
status=$?
# Skipped tests, each with its reason, so a skip never passes unnoticed.
cat test-results/*.xml 2>/dev/null | tr '\n' ' ' | sed 's/<testcase /\n<testcase /g' |
    sed -n 's/.*<testcase name="\([^"]*\)".*classname="\([^"]*\)".*<skipped message="\([^"]*\)".*/\2.\1: \3/p' \
    >skipped.txt
echo "$(wc -l <skipped.txt) tests skipped"
sed 's/^/  /; s/: [^ ]*:[0-9]*&#x0A;/: /; s/&#x0A;/ /g; s/&quot;/"/g; s/&amp;/\&/g' skipped.txt
exit $status
