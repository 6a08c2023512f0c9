#!/usr/bin/env bash
# The Windows tessel-convert.exe (under Wine) must write byte for byte the document the Linux
# build writes: for the shipped example, every synthetic fixture and every real sample under the
# shared test data. Paths are handed to the Windows program in Windows form (Z:\...).
#
#   same_documents.sh LINUX_CONVERT WINE_RUN WINDOWS_CONVERT EXAMPLES_DIR SHARED_DIR WORK_DIR
# Exit status 77: skipped (no Linux build to compare with).
set -uo pipefail
linux=$1 wine_run=$2 windows=$3 examples=$4 shared=$5 work=$6

if [ ! -x "$linux" ]; then
  echo "skipped: no Linux tessel-convert at $linux to compare with (build the release preset)"
  exit 77
fi
inputs=("$examples"/*.aaf)
if [ -d "$shared" ]; then
  while IFS= read -r -d '' f; do inputs+=("$f"); done < <(
    find "$shared/aaf-synthetic" "$shared/aaf-samples" "$shared/aaf/samples" -name '*.aaf' \
         -print0 2>/dev/null | sort -z)
else
  echo "note: no shared test data at $shared; the shipped example alone is compared"
fi

windows_path() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
compared=0 failed=0
for input in "${inputs[@]}"; do
  name=$(printf '%s' "${input#/}" | tr '/' '_')
  name=${name%.aaf}.xml
  linux_status=0 windows_status=0
  "$linux" -q "$input" "$work/linux/$name" >/dev/null 2>&1 || linux_status=$?
  "$wine_run" "$windows" -q "$(windows_path "$input")" "$(windows_path "$work/windows/$name")" \
    >/dev/null 2>&1 || windows_status=$?
  if [ "$linux_status" != "$windows_status" ]; then
    echo "FAILED: $input: exit status $linux_status on Linux, $windows_status on Windows"
    failed=$((failed + 1))
  elif [ -f "$work/linux/$name" ] || [ -f "$work/windows/$name" ]; then
    if ! cmp -s "$work/linux/$name" "$work/windows/$name"; then
      echo "FAILED: $input: the documents differ ($work/linux/$name, $work/windows/$name)"
      failed=$((failed + 1))
    fi
  fi
  compared=$((compared + 1))
done
echo "$compared inputs converted on both systems, $failed differences"
[ "$failed" = 0 ]
