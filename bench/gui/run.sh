#!/bin/bash
# The GUI search beside the engine alone and the bare walk, on the benchmark walk tree, in one run:
# medians of several rounds, each against the bare walk (targets: the GUI's click to completion at
# most 1.3x, FindFileCmd --threaded at most 1.2x), and the window's peak memory.
#   FF_BUILD_DIR   the win32 build folder (default: build/win32 of this tree)
#   FF_BENCH_REPS  rounds (default 3)
#   FF_BENCH_MILLION=1  also one GUI search listing 1,000,000 files (1,000 folders of 1,000 empty
#                  files, made once), its peak memory (target: 200 MiB in the 32-bit build) and a
#                  sort by each column (target: 1.5 s each). Off by default: the search alone takes
#                  minutes under Wine, and making the tree the first time about a minute more.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${FF_BUILD_DIR:-$root/build/$("$root/tools/windows-config.sh")}"
reps="${FF_BENCH_REPS:-3}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" --target FindFileCmd ff_walk_bench ff_gui_bench -j2 >/dev/null
bin="$build/bin"
wine_run="$build/wine-run.sh"
prefix="$build/wineprefix"

. "$root/tools/private-display.sh"
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_private_display 161 190
"$wine_run" "$bin/FindFileCmd.exe" --version >/dev/null  # makes the Wine prefix on first use
# A server that stays for the whole run. One started by a program ends with its last program, so
# every line would pay for a new server and desktop (FindFileCmd: 4.1 s instead of 2.8 s).
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -w
WINEPREFIX="$prefix" wineserver -p 600
"$wine_run" "$bin/FindFileCmd.exe" --version >/dev/null

python3 "$root/bench/make_tree.py" walk "$prefix/drive_c/ffbench/walk"
walk='C:\ffbench\walk'

now() { date +%s.%N; }
timed() {
    local start end
    start=$(now)
    "$@" >/dev/null 2>&1
    end=$(now)
    echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Warm the file cache once.
"$wine_run" "$bin/ff_walk_bench.exe" "$walk" >/dev/null
echo "Tree: $("$wine_run" "$bin/ff_walk_bench.exe" "$walk" | tr -d '\r')"
walks=() engines=() guis=() gui_walls=() memory=""
for round in $(seq "$reps"); do
    walks+=("$(timed "$wine_run" "$bin/ff_walk_bench.exe" "$walk")")
    engines+=("$(timed "$wine_run" "$bin/FindFileCmd.exe" --threaded "$walk")")
    start=$(now)
    line=$("$wine_run" "$bin/ff_gui_bench.exe" "$walk" | tr -d '\r' | tail -n 1)
    end=$(now)
    gui_walls+=("$(echo "$end - $start" | bc -l)")
    guis+=("$(echo "$line" | awk '{ print $1 }')")
    memory="$line"
done
w=$(median "${walks[@]}")
e=$(median "${engines[@]}")
g=$(median "${guis[@]}")
gw=$(median "${gui_walls[@]}")
echo "Rounds (s): walk ${walks[*]}; FindFileCmd ${engines[*]}; GUI ${guis[*]}"
printf '%-62s %8.3f s\n' "bare walk (ff_walk_bench, whole process)" "$w"
printf '%-62s %8.3f s\n' "FindFileCmd --threaded *.* (whole process)" "$e"
printf '%-62s %8.3f s\n' "GUI search *.*, click to completion status (in the window)" "$g"
printf '%-62s %8.3f s\n' "GUI search, whole process (start, window, search, exit)" "$gw"
printf 'against the bare walk: GUI click-to-completion %.2fx (target 1.3x), FindFileCmd --threaded %.2fx (target 1.2x)\n' \
    "$(echo "$g / $w" | bc -l)" "$(echo "$e / $w" | bc -l)"
printf 'GUI click-to-completion / FindFileCmd --threaded: %.2fx; GUI whole process / FindFileCmd --threaded: %.2fx\n' \
    "$(echo "$g / $e" | bc -l)" "$(echo "$gw / $e" | bc -l)"
echo "$memory" | awk '{ printf "GUI rows %d, peak working set %.1f MiB, peak private bytes %.1f MiB\n", $2, $3 / 1024, $4 / 1024;
    printf "last GUI run: %.3f s inside FindFile1Found, %.3f s inside FindFile1NewFolder\n", $5, $6;
    printf "a search stopped by the button midway: %d ms from the click to the completion status (target 100 ms)\n", $7 }'

if [ "${FF_BENCH_MILLION:-0}" = 1 ]; then
    python3 "$root/bench/make_tree.py" million "$prefix/drive_c/ffbench/million"
    million='C:\ffbench\million'
    "$wine_run" "$bin/ff_walk_bench.exe" "$million" >/dev/null # warm the file cache
    output=$("$wine_run" "$bin/ff_gui_bench.exe" "$million" --sort yes | tr -d '\r')
    echo "$output" | grep -v '^sort' | tail -n 1 | awk '{
        printf "GUI search of the million tree: %d rows, click to completion %.3f s, peak working set %.1f MiB, peak private bytes %.1f MiB (after the sorts)\n", $2, $1, $3 / 1024, $4 / 1024 }'
    echo "$output" | grep '^sort' | awk '{
        printf "sort by column, click to repainted list: name %.3f s, folder %.3f s, size %.3f s, modified %.3f s, type %.3f s (target 1.5 s)\n", $2, $3, $4, $5, $6 }'
fi
echo "Machine load after the run: $(uptime | sed 's/.*load average/load average/')"
