#!/bin/sh
# Runs a test program in the DPI tests' own Wine prefix after setting the session's DPI there:
#   run-at-dpi.sh WINE-RUN PREFIX DPI PROGRAM.exe
# Wine reads the DPI (LogPixels) when a process starts, so it is set before the program runs; the
# prefix is the DPI tests' alone, so no other test sees it. The screen is one of its own, as large
# as 1280 by 1024 at that DPI, as a monitor used at 200 % is; both steps run on it, since the
# prefix's desktop takes the screen of the first program that starts.
set -eu
run="$1"
prefix="$2"
dpi="$3"
program="$4"
# Another screen's desktop may still be up in the prefix.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
status=0
env -u DISPLAY xvfb-run -a -s "-screen 0 $((1280 * dpi / 96))x$((1024 * dpi / 96))x24" sh -c '
    "$1" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null &&
        "$1" --display "$3" "--dpi=$2"' sh "$run" "$dpi" "$program" || status=$?
# The prefix's desktop belongs to this screen, which is gone now.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit "$status"
