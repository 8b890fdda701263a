#!/bin/bash
# Builds the Windows programs and starts FindFile.exe under Wine. Without a display it runs on a
# private Xvfb screen and saves a screenshot to build/screenshot.png after a few seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/tools/setup.sh"
windows="$("$root/tools/windows-config.sh")"
"$root/tools/build.sh" "$windows"
bin="$root/build/$windows/bin"
wine_run="$root/build/$windows/wine-run.sh"
program="$bin/FindFile.exe"
[ -f "$program" ] || program="$bin/FindFileCmd.exe"
if [ "$(basename "$program")" = FindFileCmd.exe ]; then
    exec "$wine_run" "$program" --help
fi
if [ -n "${DISPLAY:-}" ]; then
    exec "$wine_run" "$program" "$@"
fi
FF_BUILD="$root/build/$windows" exec "$root/tools/screenshot.sh" "$root/build/screenshot.png" -- "$@"
