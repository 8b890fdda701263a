#!/bin/sh
# Runs a test program on a screen of its own, in a Wine prefix shared by a group of tests that run
# so (never two of a group at a time: a CTest lock), after setting the session's DPI there:
#   run-on-own-screen.sh WINE-RUN PREFIX DPI PROGRAM.exe [ARGS...]
# Tests that type keys or need the keyboard focus run so, beside the others: no window of another
# test can take the focus from them. Wine reads the DPI (LogPixels) when a process starts, so it is
# set before the program runs. The screen is as large as 1280 by 1024 at that DPI, as a monitor
# used at 200 % is; both steps run on it, since the prefix's desktop takes the screen of the first
# program that starts.
set -eu
run="$1"
prefix="$2"
dpi="$3"
shift 3
# Another screen's desktop may still be up in the prefix.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
status=0
env -u DISPLAY xvfb-run -a -s "-screen 0 $((1280 * dpi / 96))x$((1024 * dpi / 96))x24" sh -c '
    run="$1" dpi="$2"
    shift 2
    "$run" reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null &&
        "$run" --display "$@"' sh "$run" "$dpi" "$@" || status=$?
# The prefix's desktop belongs to this screen, which is gone now.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit "$status"
