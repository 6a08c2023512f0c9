#!/usr/bin/env bash
# Installs what is needed, builds the release programs and converts the shipped example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset release
cmake --build --preset release
# Until the converter is built, show what the shipped example holds.
build/release/tools/aafinfo/tessel-aafinfo examples/edius_example.aaf
