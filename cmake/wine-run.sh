#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own Wine prefix (created on first use). Wine
# needs a UTF-8 locale to hand non-ASCII file names to the program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$WINEPREFIX"

# The Wine server and its services are started apart, with no output of ours: a test runner
# waiting for the program's output to close would otherwise wait for them too. They stay for a
# while after the last program, so the next one starts at once.
server_dir=$(printf "server-%x-%x" $(stat -c '%d %i' "$WINEPREFIX"))
running=0
for pid in $(pgrep -x 'wineserver(64)?' || true); do
  [[ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" == */"$server_dir" ]] && running=1
done
if [ "$running" = 0 ]; then
  wineserver -p300 </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init </dev/null >/dev/null 2>&1 || true
    # A program that crashes prints Wine's backtrace and ends, instead of waiting in a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || true
  fi
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
exec wine "$@"
