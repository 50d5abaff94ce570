#!/bin/sh
# Prints 32 when this host runs 32-bit Wine, else 64. Some kernels are built without
# 32-bit support: there the tests, benchmarks and `make run` use the 64-bit build
# (build folder + "64") under 64-bit Wine. ORVELLO_ARCH=32 or 64 overrides.
if [ -n "$ORVELLO_ARCH" ]; then echo "$ORVELLO_ARCH"; exit 0; fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo 32
else
    echo 64
fi
