#!/bin/bash
# Installs Debian packages, surviving a bad day of the mirror: tools/apt-install.sh PACKAGE...
#
# - The package lists are updated up to three times; an index that stays broken (a mirror caught
#   mid-sync, say) is noted and the lists that did arrive are used.
# - A suite whose index failed for one architecture can no longer give both architectures the same
#   version of a Multi-Arch: same library (libssl3:amd64 from the security suite, no libssl3:i386
#   twin), and apt then reports "held broken packages". So the install is retried with the broken
#   suites pinned below the others, and then with every such library aligned on a version that both
#   architectures have.
# - It fails only when a package cannot be had at all, saying which and why.
set -uo pipefail

[ $# -gt 0 ] || exit 0
export DEBIAN_FRONTEND=noninteractive
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

say() { echo "apt-install: $*" >&2; }

update_lists() {
    local attempt
    for attempt in 1 2 3; do
        if apt-get update -q >"$work/update.log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$work/update.log"; then
            return 0
        fi
        [ $attempt -lt 3 ] && sleep $((attempt * 5))
    done
    # The suites whose index failed, from lines such as
    # "E: Failed to fetch http://host/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz ..."
    grep -o 'Failed to fetch [^ ]*/dists/[^/ ]*/' "$work/update.log" | sed 's|.*/dists/||; s|/$||' |
        sort -u >"$work/broken-suites"
    if [ -s "$work/broken-suites" ]; then
        say "these suites' indexes stayed broken after 3 tries: $(tr '\n' ' ' <"$work/broken-suites")"
        grep '^[EW]: Failed to fetch' "$work/update.log" | sed 's/^/    /' >&2
    else
        say "apt-get update failed; going on with the lists already on this machine"
        tail -n 5 "$work/update.log" | sed 's/^/    /' >&2
    fi
    return 1
}

install() {
    apt-get install -y -q --no-install-recommends "$@" >"$work/install.log" 2>&1
}

# Preferences that put every broken suite below the others for this install only.
write_pins() {
    local suite
    : >"$work/preferences"
    while read -r suite; do
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 50\n\n' "$suite" >>"$work/preferences"
        printf 'Package: *\nPin: release a=%s\nPin-Priority: 50\n\n' "$suite" >>"$work/preferences"
    done <"$work/broken-suites"
}

# Versions a package has in the indexes for one architecture, one a line.
versions_of() { apt-cache madison "$1" 2>/dev/null | awk -F'|' '{gsub(/ /, "", $2); print $2}' | sort -u; }

# The foreign-architecture packages that installing the requested ones pulls in, by name.
foreign_closure() {
    local foreign="$1"
    shift
    apt-cache "${pins[@]}" depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances "$@" 2>/dev/null | grep -v '^ ' | sed -n "s/^\([^<>]*\):$foreign\$/\1/p" | sort -u
}

# For each library those packages need whose installed native copy (Multi-Arch: same) has a version
# the foreign architecture lacks, "name:native=version" with the newest version both have.
aligned_versions() {
    local native foreign name version common
    native="$(dpkg --print-architecture)"
    foreign="$(dpkg --print-foreign-architectures | head -n 1)"
    [ -n "$foreign" ] || return 0
    foreign_closure "$foreign" "$@" >"$work/closure"
    dpkg-query -W -f '${Package} ${Version} ${Multi-Arch} ${Architecture}\n' 2>/dev/null |
        awk -v arch="$native" '$3 == "same" && $4 == arch {print $1, $2}' |
        while read -r name version; do
            grep -qxF "$name" "$work/closure" || continue
            versions_of "$name:$foreign" >"$work/foreign"
            grep -qxF "$version" "$work/foreign" && continue
            [ -s "$work/foreign" ] || continue
            common="$(versions_of "$name:$native" | grep -xF -f "$work/foreign" | sort -V | tail -n 1)"
            [ -n "$common" ] && echo "$name:$native=$common"
        done
}

: >"$work/broken-suites"
pins=()
update_lists
if install "$@"; then
    exit 0
fi
if [ -s "$work/broken-suites" ]; then
    say "installing again with the broken suites pinned below the others"
    write_pins
    if install -o Dir::Etc::Preferences="$work/preferences" "$@"; then
        exit 0
    fi
    pins=(-o Dir::Etc::Preferences="$work/preferences")
else
    pins=()
fi
mapfile -t aligned < <(aligned_versions "$@")
if [ ${#aligned[@]} -gt 0 ]; then
    say "installing again with libraries aligned between the architectures: ${aligned[*]}"
    if install "${pins[@]}" --allow-downgrades "$@" "${aligned[@]}"; then
        exit 0
    fi
fi

say "these packages could not be installed: $*"
grep -E '^(E:| [^ ].*: (Depends|PreDepends|Conflicts|Breaks)| +Depends:)' "$work/install.log" | sed 's/^/    /' >&2
for package in "$@"; do
    if [ -z "$(versions_of "$package")" ]; then
        say "$package: no index on this machine offers it"
    fi
done
exit 1
