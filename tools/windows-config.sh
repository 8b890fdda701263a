#!/bin/bash
# Prints the Windows build configuration this machine can run under Wine: win32 (the shipped 32-bit
# program) where the kernel starts 32-bit programs, win64 (the same code built for x86-64) where it
# cannot, as on kernels without IA-32 emulation.
if [ -n "${FF_WINDOWS_CONFIG:-}" ]; then
    echo "$FF_WINDOWS_CONFIG"
elif [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
else
    echo win64
fi
