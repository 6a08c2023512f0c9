#!/usr/bin/env bash
# Installs what is needed, builds the release programs and converts the shipped example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset release
cmake --build --preset release

mkdir -p build/example
build/release/src/cli/tessel-convert --verbose examples/edius_example.aaf build/example/edius_example.xml
echo "Written: build/example/edius_example.xml"
