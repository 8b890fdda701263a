#!/bin/bash
# Runs the fuzz targets (clang-14, libFuzzer with ASan and UBSan, made by the host build) each for a
# bounded time, one after the other: tools/fuzz.sh [SECONDS [TARGET...]] (20 s each by default,
# every target when none is named). Each starts from its seed corpus (fuzz/corpus/TARGET) and the
# inputs earlier runs kept (build/fuzz/corpus/TARGET). Fails on any crash, sanitizer report,
# differential failure or hang, naming the target, its log and the saved input.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
jobs="${FF_JOBS:-$(nproc)}"
dir="$root/build/fuzz"
bin="$root/build/host/bin"

if ! command -v clang++-14 >/dev/null ||
    ! compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
    echo "fuzz: clang-14 and libclang-rt-14-dev are needed (tools/setup.sh installs them)" >&2
    exit 1
fi
mkdir -p "$dir"
if [ ! -f "$root/build/host/CMakeCache.txt" ]; then
    "$root/tools/build.sh" host >"$dir/build.log" 2>&1 || {
        tail -n 30 "$dir/build.log" >&2
        echo "fuzz: the host build failed (log: $dir/build.log)" >&2
        exit 1
    }
fi
cmake --build "$root/build/host" --target ff_fuzz -j "$jobs" >"$dir/build.log" 2>&1 || {
    tail -n 30 "$dir/build.log" >&2
    echo "fuzz: the build failed (log: $dir/build.log)" >&2
    exit 1
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(cd "$root/fuzz/corpus" && ls)
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for target in "${targets[@]}"; do
    corpus="$dir/corpus/$target"
    crashes="$dir/crashes/$target"
    log="$dir/logs/$target.log"
    mkdir -p "$corpus" "$crashes" "$dir/logs"
    if "$bin/$target" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        cov="$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)"
        echo "fuzz: $target passed: ${runs:-?} runs in ${seconds} s, ${cov:-cov: ?}"
    else
        saved="$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)"
        grep -m 3 -E 'ERROR|differential failure|runtime error|deadly signal|timeout' "$log" >&2 || true
        echo "fuzz: $target FAILED (log: $log; input: ${saved:-not saved})" >&2
        status=1
    fi
done
exit $status
