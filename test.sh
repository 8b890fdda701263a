#!/bin/bash
# Builds everything and runs every test: the native tests of the portable logic, then the
# Windows tests under Wine (on a private Xvfb display when there is none). Where the machine cannot
# run 32-bit programs the Windows tests run on the x86-64 build of the same code.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/tools/setup.sh"
"$root/tools/check-format.sh"
windows="$("$root/tools/windows-config.sh")"
"$root/tools/build.sh" host "$windows"

. "$root/tools/private-display.sh"
cleanup() { [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
start_private_display 90 120

jobs="${FF_JOBS:-$(nproc)}"
status=0
ctest --test-dir "$root/build/host" --output-on-failure -j "$jobs" || status=1
# A short run of every fuzz target (clang, libFuzzer): a crash or a differential failure fails the run.
"$root/tools/fuzz.sh" 5 || status=1
# One Wine server for all the Windows tests: a test that starts just as the server of the test
# before it shuts down could otherwise fail before its first line. A server left running (by a
# benchmark, say) is replaced, so every Wine process of the run belongs to this display.
"$root/build/$windows/wine-run.sh" "$root/build/$windows/bin/FindFileCmd.exe" --version >/dev/null
export WINEPREFIX="$root/build/$windows/wineprefix"
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
ctest --test-dir "$root/build/$windows" --output-on-failure -j "$jobs" || status=1
wineserver -k 2>/dev/null || true
exit $status
