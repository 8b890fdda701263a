#!/bin/bash
# Builds everything and runs every test: the native tests of the portable logic, then the
# Windows tests under Wine (on a private Xvfb display when there is none).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh" host win32

. "$root/tools/private-display.sh"
cleanup() { [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
start_private_display 90 120

jobs="${FF_JOBS:-$(nproc)}"
status=0
ctest --test-dir "$root/build/host" --output-on-failure -j "$jobs" || status=1
ctest --test-dir "$root/build/win32" --output-on-failure -j "$jobs" || status=1
WINEPREFIX="$root/build/win32/wineprefix" wineserver -k 2>/dev/null || true
exit $status
