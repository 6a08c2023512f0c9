#!/usr/bin/env bash
# Installs what is needed and runs the whole test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/asan).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan
