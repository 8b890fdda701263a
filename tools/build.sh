#!/bin/bash
# Configures and builds configurations: tools/build.sh [host] [win32] [win64]
# (host: clang-14 with sanitizers, the tests of the portable logic and the fuzz targets; win32: the
# shipped 32-bit programs; win64: the same code for x86-64, see tools/windows-config.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${FF_JOBS:-$(nproc)}"
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(host win32)
for config in "${configs[@]}"; do
    dir="$root/build/$config"
    # The host build is clang's: it compiles the sanitized code three times faster than g++, and
    # the same build makes the fuzz targets. A tree configured with another compiler starts again.
    if [ "$config" = host ] && [ -f "$dir/CMakeCache.txt" ] &&
        ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++-14$' "$dir/CMakeCache.txt"; then
        rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    fi
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        if [ "$config" = win32 ]; then
            cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
        elif [ "$config" = win64 ]; then
            cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
        else
            CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$dir" >/dev/null
        fi
    fi
    cmake --build "$dir" -j "$jobs"
done
