#!/bin/bash
# Builds the Windows programs and starts FindFile.exe under Wine. Without a display it runs on a
# private Xvfb screen and saves a screenshot to build/screenshot.png after a few seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/tools/setup.sh"
"$root/tools/build.sh" win32
bin="$root/build/win32/bin"
wine_run="$root/build/win32/wine-run.sh"
program="$bin/FindFile.exe"
[ -f "$program" ] || program="$bin/FindFileCmd.exe"
if [ "$(basename "$program")" = FindFileCmd.exe ]; then
    exec "$wine_run" "$program" --help
fi
if [ -n "${DISPLAY:-}" ]; then
    exec "$wine_run" "$program" "$@"
fi
exec "$root/tools/screenshot.sh" "$root/build/screenshot.png" -- "$@"
