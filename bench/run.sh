#!/bin/sh
# Builds the Release configuration's converter and fixture writer, then times conversions of
# 1,000, 10,000, 100,000 and 1,000,000-clip edits. Options go to bench/convert_bench.py (--help
# lists them).
set -eu
cd "$(dirname "$0")/.."
if [ ! -f build/release/CMakeCache.txt ]; then
  cmake --preset release -DTESSEL_BUILD_GUI=OFF >/dev/null
fi
cmake --build --preset release -j2 --target tessel-mkaaf tessel-convert >/dev/null
exec python3 bench/convert_bench.py --build build/release "$@"
