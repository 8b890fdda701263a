#!/bin/bash
# Installs what the build and the tests need (Debian 12, as root). Quick when all is there.
set -euo pipefail

need=()
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    need+=(g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64)
[ -x /usr/lib/wine/wine64 ] || need+=(wine64)
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++) # the C++ library clang builds against
command -v make >/dev/null || need+=(make)
command -v wine >/dev/null || need+=(wine)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
command -v Xvfb >/dev/null && command -v xvfb-run >/dev/null || need+=(xvfb)
command -v xauth >/dev/null || need+=(xauth)
command -v import >/dev/null || need+=(imagemagick)
command -v flock >/dev/null || need+=(util-linux)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/share/zoneinfo/Pacific/Auckland ] || need+=(tzdata) # the tests also run in other time zones
[ -x /usr/bin/python3 ] || need+=(python3) # the loopback NetBIOS nodes of the tests, the bench trees
command -v clang++-14 >/dev/null || need+=(clang-14)              # the host build, the fuzz targets
command -v clang-format-14 >/dev/null || need+=(clang-format-14) # test.sh checks the format
compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null || need+=(libclang-rt-14-dev)
[ -f /usr/share/ieee-data/oui.txt ] || need+=(ieee-data) # the network-card vendors' table the build generates
# zlib inflates the members of zip archives and Office documents: linked statically into the Windows
# programs, and natively into the host tests and the fuzz targets.
[ -f /usr/x86_64-w64-mingw32/include/zlib.h ] && [ -f /usr/i686-w64-mingw32/include/zlib.h ] ||
    need+=(libz-mingw-w64-dev)
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)

# The tests also run under a German locale (another thousands separator, another system language);
# Wine takes its locale from LANG, which glibc honours only for a generated locale.
need_locale=""
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    need_locale=1
    dpkg -s locales >/dev/null 2>&1 || need+=(locales)
fi

if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    "$(dirname "$0")/apt-install.sh" "${need[@]}"
fi

if [ -n "$need_locale" ]; then
    echo "setup: generating the de_DE.UTF-8 locale"
    if grep -q '^# *de_DE.UTF-8 UTF-8' /etc/locale.gen; then
        sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
    fi
    locale-gen >/dev/null
fi
