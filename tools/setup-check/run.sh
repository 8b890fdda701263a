#!/bin/bash
# Shows that the README's two commands work on a fresh Debian 12 machine on a bad day of the mirror:
#   tools/setup-check/run.sh [--setup-only] [ROOT]    (ROOT: build/setup-check/root by default)
# Makes a minimal Debian 12 root with debootstrap (once), brings its packages up to date from the
# security suite (as on a real machine, whose amd64 libraries then have no i386 twin of the same
# version in the main suite), clones this repository's main branch into it and runs tools/setup.sh,
# then ./run.sh and ./test.sh there, while apt goes through a proxy on loopback that cuts the
# security suite's i386 package list short ("File has unexpected size", a mirror mid-sync).
# Run it as root; nothing else should run tests at the same time (the displays' sockets are shared).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
project="$(cd "$here/../.." && pwd)"
setup_only=""
if [ "${1:-}" = --setup-only ]; then
    setup_only=1
    shift
fi
root="${1:-$project/build/setup-check/root}"
port=3142
broken='/dists/bookworm-security/main/binary-i386/Packages'

command -v debootstrap >/dev/null || "$project/tools/apt-install.sh" debootstrap
mounted=()
proxy_pid=""
cleanup() {
    [ -z "$proxy_pid" ] || kill "$proxy_pid" 2>/dev/null || true
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
mount_into() { # SOURCE TARGET [OPTIONS...]
    mkdir -p "$2"
    mount "${@:3}" "$1" "$2"
    mounted+=("$2")
}
in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "setup-check: making a Debian 12 root in $root"
    mkdir -p "$root"
    debootstrap --variant=minbase --include=ca-certificates,git bookworm "$root" http://deb.debian.org/debian
    cat >"$root/etc/apt/sources.list" <<'EOF'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_into proc "$root/proc" -t proc
mount_into sysfs "$root/sys" -t sysfs
mount_into /dev "$root/dev" --bind
mount_into devpts "$root/dev/pts" -t devpts
mount_into tmpfs "$root/dev/shm" -t tmpfs

echo "setup-check: bringing the root's packages up to date"
rm -f "$root/etc/apt/apt.conf.d/99setup-check-proxy"
in_root apt-get update -q >/dev/null || true # the real mirror may have a broken index today too
DEBIAN_FRONTEND=noninteractive in_root apt-get -y -q upgrade >/dev/null

python3 "$here/breaking-proxy.py" "$port" "$broken" 2>"$root/root/proxy.log" &
proxy_pid=$!
sleep 1
echo "Acquire::http::Proxy \"http://127.0.0.1:$port/\";" >"$root/etc/apt/apt.conf.d/99setup-check-proxy"

rm -rf "$root/root/clone"
git clone -q --branch main "$project" "$root/root/clone"
echo "setup-check: tools/setup.sh in the fresh root (one index broken on purpose)"
in_root bash -c 'cd /root/clone && time tools/setup.sh'
grep -c 'cut short' "$root/root/proxy.log" | sed 's/^/setup-check: the proxy cut the index short this many times: /'
[ -n "$setup_only" ] && exit 0
echo "setup-check: ./run.sh"
in_root bash -c 'cd /root/clone && ./run.sh && ls -la build/screenshot.png'
echo "setup-check: ./test.sh"
in_root bash -c 'cd /root/clone && time ./test.sh'
