#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite: the release build, then the
# same suite under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

cmake --preset release
cmake --build --preset release
ctest --preset release

if [ "${TESSEL_SKIP_ASAN:-0}" != "1" ]; then
  cmake --preset asan
  cmake --build --preset asan
  ctest --preset asan
fi
