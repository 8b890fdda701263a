#!/bin/bash
# The last build step of a program: finish-program.sh BINUTILS_PREFIX IMAGE UNNAMED [--strip DEBUG_DIR]
# UNNAMED ("-" for none) is the first link of a program that carries its own symbol table: its code
# must be the final image's byte for byte, or the table would name the wrong functions. --strip
# moves the debug information to DEBUG_DIR/NAME.debug and leaves a debug link to it.
set -euo pipefail
tools="$1" image="$2" unnamed="$3"
shift 3
if [ "$unnamed" != - ]; then
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    "${tools}objcopy" -O binary -j .text "$unnamed" "$work/unnamed.text"
    "${tools}objcopy" -O binary -j .text "$image" "$work/final.text"
    if ! cmp -s "$work/unnamed.text" "$work/final.text"; then
        echo "finish-program: the code of $image differs from its first link; its symbol table would lie" >&2
        rm -f "$image"
        exit 1
    fi
fi
if [ "${1:-}" = --strip ]; then
    debug_dir="$2"
    mkdir -p "$debug_dir"
    debug="$debug_dir/$(basename "${image%.*}").debug"
    "${tools}objcopy" --only-keep-debug "$image" "$debug"
    "${tools}objcopy" --strip-all --add-gnu-debuglink="$debug" "$image"
fi
