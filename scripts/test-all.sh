#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite: the release build, then the
# same suite under AddressSanitizer + UndefinedBehaviorSanitizer (scripts/test-sanitizers.sh),
# then the Windows cross-build's suite under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

cmake --preset release
cmake --build --preset release
ctest --preset release

scripts/test-sanitizers.sh

scripts/test-windows.sh
