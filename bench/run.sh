#!/bin/bash
# Search speed under Wine, in one run: medians of several repetitions and ratios against line 1.
#   FF_BUILD_DIR   the win32 build folder to use (default: build/win32 of this tree)
#   FF_BENCH_REPS  repetitions of each fast line (default 5; the slow `dir /s` line runs at most 3)
# The trees are written once into the Wine drive of that build (C:\ffbench) and reused.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FF_BUILD_DIR:-$root/build/win32}"
reps="${FF_BENCH_REPS:-5}"
slow_reps=$(( reps < 3 ? reps : 3 ))

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$build" --target FindFileCmd ff_walk_bench ff_handover_bench -j2 >/dev/null
bin="$build/bin"
wine_run="$build/wine-run.sh"
prefix="$build/wineprefix"

# One display and one Wine server for the whole run, so no line pays for starting them.
xvfb_pid=""
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 130 160); do
        if [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
            xvfb_pid=$!
            export DISPLAY=":$n"
            sleep 1
            break
        fi
    done
fi
"$wine_run" "$bin/FindFileCmd.exe" --version >/dev/null
WINEPREFIX="$prefix" wineserver -p 600

echo "Writing the trees (first run only)..."
python3 "$root/bench/make_tree.py" walk "$prefix/drive_c/ffbench/walk"
python3 "$root/bench/make_tree.py" content "$prefix/drive_c/ffbench/content"
walk='C:\ffbench\walk'
content='C:\ffbench\content'

# median_seconds REPS COMMAND...: the median wall time of REPS runs, output discarded.
median_seconds() {
    local count=$1
    shift
    local times=()
    for _ in $(seq "$count"); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc -l)")
    done
    printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

cmd() { "$wine_run" "$bin/FindFileCmd.exe" "$@"; }

# Warm the file cache and count what the lines hand over.
walk_counts=$("$wine_run" "$bin/ff_walk_bench.exe" "$walk" | tr -d '\r')
found_all=$(cmd --threaded "$walk" | wc -l)
found_mask=$(cmd -n '*.bmk' "$walk" | wc -l)
folders=$(echo "$walk_counts" | awk '{ print $3 }')
grep -r -c quetzal42 "$prefix/drive_c/ffbench/content" >/dev/null || true

echo "Tree: $walk_counts; mask *.bmk finds $found_mask, *.* finds $found_all"
echo "Repetitions: $reps (line 5: $slow_reps)"
start_cost=$(median_seconds "$reps" cmd --version)

t1=$(median_seconds "$reps" "$wine_run" "$bin/ff_walk_bench.exe" "$walk")
t2=$(median_seconds "$reps" cmd -n '*.bmk' "$walk")
t3=$(median_seconds "$reps" cmd --threaded -n '*.bmk' "$walk")
t4=$(median_seconds "$reps" cmd --threaded "$walk")
t5=$(median_seconds "$slow_reps" "$wine_run" cmd /c dir /s /b "$walk")
t6=$(median_seconds "$reps" cmd -c quetzal42 -n '*.txt' "$content")
t6g=$(median_seconds "$reps" grep -r -c quetzal42 "$prefix/drive_c/ffbench/content")

row() { printf '%-4s %-58s %9.3f s %7.2fx\n' "$1" "$2" "$3" "$(echo "$3 / $t1" | bc -l)"; }
echo
printf '%-4s %-58s %11s %8s\n' line what median ratio
row 1 "bare FindFirstFileExW walk (ff_walk_bench)" "$t1"
row 2 "FindFileCmd inline, -n *.bmk (1% of the files)" "$t2"
row 3 "FindFileCmd --threaded, -n *.bmk" "$t3"
row 4 "FindFileCmd --threaded, *.* (every entry handed over)" "$t4"
row 5 "Wine cmd /c dir /s /b" "$t5"
row 6 "FindFileCmd -c quetzal42 over 200 MiB" "$t6"
printf '%-4s %-58s %9.3f s\n' 6g "native grep -r -c quetzal42 over the same files" "$t6g"
printf '%-4s %-58s %9.3f s\n' - "Wine start and exit (FindFileCmd --version)" "$start_cost"
echo
handovers=$((found_all + folders))
echo "Line 4 per handed-over entry beyond the walk: $(echo "($t4 - $t1) * 1000000 / $handovers" | bc -l | xargs printf '%.1f') us ($handovers hand-overs)"
echo "Line 4 per handed-over entry beyond line 3: $(echo "($t4 - $t3) * 1000000 / ($handovers - $found_mask - $folders)" | bc -l | xargs printf '%.1f') us"
echo "Inline search against dir /s: $(echo "$t5 / $t2" | bc -l | xargs printf '%.1f')x faster"
echo "Content scan against grep: $(echo "$t6 / $t6g" | bc -l | xargs printf '%.2f')x the time ($(echo "($t6 - $start_cost) / $t6g" | bc -l | xargs printf '%.2f')x without Wine's start)"
echo
echo "Hand-over cost per call, microseconds (median of 5 runs of 5000 calls):"
"$wine_run" "$bin/ff_handover_bench.exe" 5000 5 | tr -d '\r'
