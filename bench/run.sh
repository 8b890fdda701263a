#!/bin/bash
# Search speed under Wine, in one run: medians of several repetitions and ratios against line 1.
#   FF_BUILD_DIR   the win32 build folder to use (default: build/win32 of this tree)
#   FF_BENCH_REPS  repetitions of each fast line (default 5; the slow `dir /s` line runs at most 3)
# The trees are written once into the Wine drive of that build (C:\ffbench) and reused.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FF_BUILD_DIR:-$root/build/$("$root/tools/windows-config.sh")}"
reps="${FF_BENCH_REPS:-5}"
slow_reps=$(( reps < 3 ? reps : 3 ))

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" --target FindFileCmd ff_walk_bench ff_read_bench ff_handover_bench -j2 >/dev/null
bin="$build/bin"
wine_run="$build/wine-run.sh"
prefix="$build/wineprefix"

# One display and one Wine server for the whole run, so no line pays for starting them.
. "$root/tools/private-display.sh"
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
start_private_display 130 160
"$wine_run" "$bin/FindFileCmd.exe" --version >/dev/null  # makes the Wine prefix on first use

# A fresh, warm Wine server before each measured line: after a long walk the server stays slower
# for whatever runs next in it (a 1 GiB scan measured 0.79 s before a 50,000-folder walk and
# 1.86 s after it in the same server).
fresh_server() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w
    WINEPREFIX="$prefix" wineserver -p 600
    "$wine_run" "$bin/FindFileCmd.exe" --version >/dev/null
}
fresh_server

echo "Writing the trees (first run only)..."
python3 "$root/bench/make_tree.py" walk "$prefix/drive_c/ffbench/walk"
python3 "$root/bench/make_tree.py" content "$prefix/drive_c/ffbench/content1g"
walk='C:\ffbench\walk'
content='C:\ffbench\content1g'
mkdir -p "$prefix/drive_c/ffbench/empty"
empty='C:\ffbench\empty'

# seconds COMMAND...: "wall cpu" of one run in a fresh server, output discarded (bench/measure.py).
seconds() {
    fresh_server
    WINEPREFIX="$prefix" python3 "$root/bench/measure.py" "$@"
}

# median FIELD "wall cpu"...: the median of one field (1 wall, 2 cpu) over the runs.
median() {
    local field=$1
    shift
    printf '%s\n' "$@" | awk -v f="$field" '{ print $f }' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

findfile=("$wine_run" "$bin/FindFileCmd.exe")
cmd() { "${findfile[@]}" "$@"; }

# Warm the file cache and count what the lines hand over.
walk_counts=$("$wine_run" "$bin/ff_walk_bench.exe" "$walk" | tr -d '\r')
found_all=$(cmd --threaded "$walk" | wc -l)
found_mask=$(cmd -n '*.bmk' "$walk" | wc -l)
folders=$(echo "$walk_counts" | awk '{ print $3 }')
grep -r -c quetzal42 "$prefix/drive_c/ffbench/content1g" >/dev/null || true
"$wine_run" "$bin/ff_read_bench.exe" "$content" >/dev/null

echo "Tree: $walk_counts; mask *.bmk finds $found_mask, *.* finds $found_all"
echo "Repetitions: $reps (line 5: $slow_reps)"
# The lines take turns in every round, so a burst of load elsewhere on the machine hits them alike.
s0=() s1=() s1o=() s2=() s3=() s4=() s5=() s6=() s6n=() s6g=() s7=() s0r=() s0c=() s8=()
for round in $(seq "$reps"); do
    s0+=("$(seconds "${findfile[@]}" --version)")
    s1+=("$(seconds "$wine_run" "$bin/ff_walk_bench.exe" "$walk")")
    s1o+=("$(seconds "$wine_run" "$bin/ff_walk_bench.exe" --open-ahead "$walk")")
    s2+=("$(seconds "${findfile[@]}" -n '*.bmk' "$walk")")
    s3+=("$(seconds "${findfile[@]}" --threaded -n '*.bmk' "$walk")")
    s4+=("$(seconds "${findfile[@]}" --threaded "$walk")")
    if [ "$round" -le "$slow_reps" ]; then
        s5+=("$(seconds "$wine_run" cmd /c dir /s /b "$walk")")
    fi
    s6+=("$(seconds "${findfile[@]}" -c quetzal42 -n '*.txt' "$content")")
    s6n+=("$(seconds "${findfile[@]}" --no-scan-ahead -c quetzal42 -n '*.txt' "$content")")
    s6g+=("$(seconds grep -r -c quetzal42 "$prefix/drive_c/ffbench/content1g")")
    s7+=("$(seconds "$wine_run" "$bin/ff_read_bench.exe" "$content")")
    s0r+=("$(seconds "$wine_run" "$bin/ff_read_bench.exe" "$empty")")
    s0c+=("$(seconds "${findfile[@]}" -c quetzal42 -n '*.txt' "$empty")")
    s8+=("$(seconds "${findfile[@]}" --no-prefetch -n '*.bmk' "$walk")")
done
for i in 0 1 1o 2 3 4 5 6 6n 6g 7 0r 0c 8; do
    eval "w$i=\$(median 1 \"\${s$i[@]}\")"
    eval "c$i=\$(median 2 \"\${s$i[@]}\")"
done

row() {
    local wall cpu
    eval "wall=\$w$1 cpu=\$c$1"
    printf '%-4s %-54s %8.3f %7.2fx %8.3f %7.2fx\n' "$1" "$2" "$wall" "$(echo "$wall / $w1" | bc -l)" "$cpu" \
        "$(echo "$cpu / $c1" | bc -l)"
}
echo
printf '%-4s %-54s %8s %8s %8s %8s\n' line what "wall s" ratio "cpu s" ratio
row 1 "bare FindFirstFileExW walk (ff_walk_bench)"
row 1o "the same, a helper opening folders ahead (--open-ahead)"
row 2 "FindFileCmd inline, -n *.bmk (1% of the files)"
row 3 "FindFileCmd --threaded, -n *.bmk"
row 4 "FindFileCmd --threaded, *.* (every entry handed over)"
row 5 "Wine cmd /c dir /s /b"
row 6 "FindFileCmd -c quetzal42 over 1 GiB"
row 6n "line 6 with --no-scan-ahead (one thread scans)"
row 6g "native grep -r -c quetzal42 over the same files"
row 7 "reading the same files, 1 MiB blocks (ff_read_bench)"
row 8 "line 2 with --no-prefetch (no folders opened ahead)"
row 0 "Wine start and exit (FindFileCmd --version)"
row 0r "Wine start and exit (ff_read_bench, empty folder)"
row 0c "line 6 in an empty folder (start and exit of a search)"
echo "(cpu: the program's own CPU time plus its Wine server's; ratios against line 1)"
echo
extra=$((found_all - found_mask))
per() { echo "$1 * 1000000 / $2" | bc -l | xargs printf '%.1f'; }
echo "Line 4 over line 3, per extra hand-over ($extra): wall $(per "($w4 - $w3)" $extra) us, cpu $(per "($c4 - $c3)" $extra) us"
echo "Inline search against dir /s: wall $(echo "$w5 / $w2" | bc -l | xargs printf '%.1f')x, cpu $(echo "$c5 / $c2" | bc -l | xargs printf '%.1f')x faster"
# A search's own start (line 0c) is some 20 ms more than line 0: it makes the hand-over window and
# the run's services, which --version does not.
echo "Content scan against grep: wall $(echo "$w6 / $w6g" | bc -l | xargs printf '%.2f')x, without the search's start (line 0c) $(echo "($w6 - $w0c) / $w6g" | bc -l | xargs printf '%.2f')x (without line 0: $(echo "($w6 - $w0) / $w6g" | bc -l | xargs printf '%.2f')x)"
echo "Content scan against reading alone (line 7), each without its own start (lines 0c, 0r): wall $(echo "($w6 - $w0c) / ($w7 - $w0r)" | bc -l | xargs printf '%.2f')x (with line 0: $(echo "($w6 - $w0) / ($w7 - $w0r)" | bc -l | xargs printf '%.2f')x)"
echo "Scanning ahead: line 6 against line 6n, each without the search's start (line 0c): wall $(echo "($w6 - $w0c) / ($w6n - $w0c)" | bc -l | xargs printf '%.2f')x, cpu $(echo "$c6 / $c6n" | bc -l | xargs printf '%.2f')x"
# FindFileCmd starts some 60 ms slower than the small bench programs: it loads the network
# libraries and user32 (line 0 against line 0r).
echo "Walk without each program's start (line 0 for FindFileCmd, 0r for ff_walk_bench): line 2 against line 1 $(echo "($w2 - $w0) / ($w1 - $w0r)" | bc -l | xargs printf '%.2f')x, line 4 against line 1 $(echo "($w4 - $w0) / ($w1 - $w0r)" | bc -l | xargs printf '%.2f')x"
echo "Folders opened ahead: line 2 against line 8 (--no-prefetch): wall $(echo "$w2 / $w8" | bc -l | xargs printf '%.2f')x, cpu $(echo "$c2 / $c8" | bc -l | xargs printf '%.2f')x"
echo "Machine load after the run: $(uptime | sed 's/.*load average/load average/')"
echo
echo "Hand-over cost per call, microseconds (median of 5 runs of 5000 calls):"
"$wine_run" "$bin/ff_handover_bench.exe" 5000 5 | tr -d '\r'
