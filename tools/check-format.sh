#!/bin/bash
# Fails when a C++ source of the project is not formatted by .clang-format (run with --fix to format).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = --fix ]; then
    clang-format-14 -i "${sources[@]}"
    exit 0
fi
if ! clang-format-14 --dry-run --Werror "${sources[@]}" 2>/tmp/ff-format.$$; then
    grep -o '^[^:]*:[0-9]*' /tmp/ff-format.$$ | sort -u | head -n 20 >&2
    rm -f /tmp/ff-format.$$
    echo "check-format: these places differ from .clang-format; tools/check-format.sh --fix formats them" >&2
    exit 1
fi
rm -f /tmp/ff-format.$$
