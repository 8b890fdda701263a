#!/bin/bash
# Starts FindFile.exe on a private X screen, optionally runs a search in it, and saves a picture of
# the screen:  tools/screenshot.sh OUT.png [--search MASK] [--section N] [--open DIALOG] [--wait SECONDS]
#                                    [--containing TEXT] [--network TEXT] [--dpi N] [-- ARGS]
# The build folder is build/win32, or the one named by FF_BUILD. With --search the name field gets
# MASK and the find button is pressed, with --section N option section N (0 date, 1 size, 2 more)
# is opened, with --containing TEXT the search also has that containing text and its first result
# is focused (the preview pane shows its lines), with --open about|language|settings one of the dialogs (history: the name field's
# list of earlier entries, dropped after the search), all by the build's
# ff_press_find.exe, before the picture is taken; with --network TEXT the network panel is opened
# and a lookup for TEXT started ("" opens the panel only). With --dpi N the program runs in the DPI
# tests' own Wine prefix with the session's DPI set to N (96 is 100 %, 144 150 %, 192 200 %).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FF_BUILD:-$root/build/$("$root/tools/windows-config.sh")}"
[ $# -ge 1 ] || { echo "usage: $0 OUT.png [--search MASK] [--wait SECONDS] [-- ARGS]" >&2; exit 2; }
out="$(realpath -m "$1")"
shift
search=""
containing=""
section=""
open_dialog=""
network=""
network_given=""
wait_seconds=6
dpi=""
while [ $# -gt 0 ]; do
    case "$1" in
        --search) search="$2"; shift 2 ;;
        --containing) containing="$2"; shift 2 ;;
        --section) section="$2"; shift 2 ;;
        --open) open_dialog="$2"; shift 2 ;;
        --network) network="$2"; network_given=1; shift 2 ;;
        --wait) wait_seconds="$2"; shift 2 ;;
        --dpi) dpi="$2"; shift 2 ;;
        --) shift; break ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
program="$build/bin/FindFile.exe"
[ -f "$program" ] || { echo "no $program: build the Windows configuration first (tools/build.sh win32 or win64)" >&2; exit 1; }
presser="$build/bin/ff_press_find.exe"
if [ -n "$search$section$open_dialog$network_given" ] && [ ! -f "$presser" ]; then
    echo "no $presser: build the target ff_press_find" >&2
    exit 1
fi

# One script runs inside the X server's session: the program, the optional search, the picture.
inner="$(mktemp)"
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -u
# A new Wine prefix takes a while to set up: let that happen before the clock starts.
"$FF_WINE_RUN" cmd /c exit >/dev/null 2>&1 || true
# Wine reads the session's DPI when a program starts.
if [ -n "$FF_DPI" ]; then
    "$FF_WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$FF_DPI" /f >/dev/null 2>&1
fi
"$FF_WINE_RUN" "$FF_PROGRAM" "$@" >/dev/null 2>&1 &
sleep "$FF_WAIT"
if [ -n "$FF_SECTION" ]; then
    "$FF_WINE_RUN" "$FF_PRESSER" --section "$FF_SECTION" >/dev/null 2>&1
    sleep 1
fi
if [ -n "$FF_OPEN" ] && [ "$FF_OPEN" != history ]; then
    "$FF_WINE_RUN" "$FF_PRESSER" --open "$FF_OPEN" >/dev/null 2>&1
    sleep 2
fi
if [ -n "$FF_SEARCH" ]; then
    "$FF_WINE_RUN" "$FF_PRESSER" "$FF_SEARCH" "$FF_CONTAINING" >/dev/null 2>&1
    sleep 3
    if [ -n "$FF_CONTAINING" ]; then
        "$FF_WINE_RUN" "$FF_PRESSER" --focus-first >/dev/null 2>&1
        sleep 2
    fi
fi
# The history drops after the search, which adds its entries.
if [ "$FF_OPEN" = history ]; then
    "$FF_WINE_RUN" "$FF_PRESSER" --open history >/dev/null 2>&1
    sleep 1
fi
if [ -n "$FF_NETWORK_GIVEN" ]; then
    if [ -n "$FF_NETWORK" ]; then
        "$FF_WINE_RUN" "$FF_PRESSER" --network "$FF_NETWORK" >/dev/null 2>&1
    else
        "$FF_WINE_RUN" "$FF_PRESSER" --network >/dev/null 2>&1
    fi
    sleep 3
fi
import -window root "$FF_OUT"
"$FF_WINE_RUN" "$FF_PRESSER" --close >/dev/null 2>&1 || true
sleep 1
INNER
wine_run="$build/wine-run.sh"
if [ -n "$dpi" ]; then
    wine_run="$build/wine-run-dpi.sh"
    [ -f "$wine_run" ] || { echo "no $wine_run: configure the Windows build again" >&2; exit 1; }
fi
export FF_DPI="$dpi" FF_WINE_RUN="$wine_run" FF_PROGRAM="$program" FF_PRESSER="$presser" FF_SEARCH="$search" FF_CONTAINING="$containing" FF_SECTION="$section" FF_OPEN="$open_dialog" \
    FF_NETWORK="$network" FF_NETWORK_GIVEN="$network_given" \
    FF_WAIT="$wait_seconds" FF_OUT="$out"
if [ -n "$dpi" ]; then
    # A screen of its own, 1280 by 1024 at that DPI (a monitor used at 200 % is that large); the
    # prefix's desktop process goes with it.
    env -u DISPLAY xvfb-run -a -s "-screen 0 $((1280 * dpi / 96))x$((1024 * dpi / 96))x24" bash "$inner" "$@"
    WINEPREFIX="$build/wineprefix-dpi" wineserver -k 2>/dev/null || true
elif [ -n "${DISPLAY:-}" ] && [ -z "${FF_SCREENSHOT_XVFB:-}" ]; then
    bash "$inner" "$@"
else
    env -u DISPLAY xvfb-run -a -s "-screen 0 1280x1024x24" bash "$inner" "$@"
fi
echo "saved $out"
