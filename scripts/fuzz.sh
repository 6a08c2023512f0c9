#!/usr/bin/env bash
# Runs one fuzz target (or all of them, one after the other) for a given number of seconds:
#
#   scripts/fuzz.sh TARGET SECONDS [LIBFUZZER_OPTION...]
#   TARGET: aaf_reader | conversion | title_document | all
#
# Builds the fuzz preset (clang, libFuzzer, ASan + UBSan) first. The corpus grows across runs
# in build/fuzz/corpus/TARGET (seeded from fuzz/ and the fixture writer); inputs that crash or
# hang are written to build/fuzz/artifacts/TARGET/. Reproduce one with
#   build/fuzz/fuzz/tessel_fuzz_TARGET ARTIFACT
# and minimise it with
#   build/fuzz/fuzz/tessel_fuzz_TARGET -minimize_crash=1 -runs=10000 ARTIFACT
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(aaf_reader conversion title_document)
usage() {
  echo "usage: scripts/fuzz.sh {${targets[*]// /|}|all} SECONDS [LIBFUZZER_OPTION...]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
target=$1
seconds=$2
shift 2
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
if [ "$target" = all ]; then
  for t in "${targets[@]}"; do "$0" "$t" "$seconds" "$@"; done
  exit 0
fi
[[ " ${targets[*]} " == *" $target "* ]] || usage

build=build/fuzz
[ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "tessel_fuzz_$target" -j2

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$corpus" "$artifacts"
seeds=$(grep "^$target " "$build/fuzz/seed_dirs.txt" | cut -d' ' -f2-)

options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
         -artifact_prefix="$artifacts/")
[ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")

echo "fuzzing $target for $seconds s; corpus $corpus"
# The seeds are read as a second corpus: new findings go to the first folder only.
"$build/fuzz/tessel_fuzz_$target" "${options[@]}" "$@" "$corpus" "$seeds"
