#!/usr/bin/env bash
# Installs what is needed, builds the release programs and converts the shipped example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset release
cmake --build --preset release
echo "(the conversion arrives with the converter; the build is ready)"
