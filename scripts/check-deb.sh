#!/bin/sh
# Builds the Debian package and proves it on a fresh Debian 12: the package
# holds exactly the program's files, apt-get installs it with its dependencies
# into a new minimal bookworm root (debootstrap --variant=minbase), and the
# installed program starts from the PATH on Qt's offscreen platform and is
# still running three seconds later.
#
# Usage (as root): sh scripts/check-deb.sh [debian-mirror-url]
# The mirror defaults to the first Debian archive named in /etc/apt/sources.list*.
# Needs debootstrap, appstream and desktop-file-utils besides the build tools;
# the package is built in build/package, the root lives in a temporary folder
# under /var/tmp and is removed at the end.
set -eu
cd "$(dirname "$0")/.."

say() { printf 'check-deb: %s\n' "$*" >&2; }
die() { say "$*"; exit 1; }
elapsed() { echo $(($(date +%s) - started)); }

[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap and chroot)"
for tool in cmake cpack dpkg-deb dpkg-shlibdeps debootstrap appstreamcli desktop-file-validate; do
    command -v "$tool" >/dev/null || die "$tool is missing (apt-get install debootstrap appstream desktop-file-utils dpkg-dev file)"
done

mirror=${1:-$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -oE 'https?://[^ ]*/debian/?( |$)' | head -n 1 | tr -d ' ')}
[ -n "$mirror" ] || die "no Debian mirror in /etc/apt/sources.list*; give one as the argument"

# ---- the package ------------------------------------------------------------
started=$(date +%s)
build=build/package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPASDRAW_BUILD_TESTS=OFF -DPASDRAW_BUILD_BENCH=OFF
cmake --build "$build" -j2 --target pasdraw
(cd "$build" && cpack -G DEB)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/pasdraw_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || die "cpack made no $deb"
say "built $deb ($(stat -c %s "$deb") bytes) in $(elapsed) s"

# Exactly these files, nothing of the build or the test framework.
expected="./usr/bin/pasdraw
./usr/share/applications/pasdraw.desktop
./usr/share/icons/hicolor/64x64/apps/pasdraw.png
./usr/share/icons/hicolor/scalable/apps/pasdraw.svg
./usr/share/metainfo/org.pasdraw.pasdraw.metainfo.xml"
dpkg-deb -c "$deb"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
[ "$files" = "$expected" ] || die "the package holds:
$files
expected:
$expected"
dpkg-deb -f "$deb" Package Version Architecture Section Maintainer Depends
appstreamcli validate --no-net src/ui/org.pasdraw.pasdraw.metainfo.xml
desktop-file-validate src/ui/pasdraw.desktop

# ---- a fresh Debian 12 ------------------------------------------------------
root=$(mktemp -d /var/tmp/pasdraw-deb.XXXXXX)
cleanup() {
    if mountpoint -q "$root/proc"; then umount "$root/proc"; fi
    # Never delete through a mount that is still there.
    if grep -q " $root/" /proc/mounts; then
        say "something is still mounted under $root; left in place"
    else
        rm -rf "$root"
    fi
}
trap cleanup EXIT

started=$(date +%s)
say "debootstrap bookworm from $mirror into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; die "debootstrap failed (log: $root.log)"; }
rm -f "$root.log"
say "minimal root ready in $(elapsed) s, $(du -sm "$root" | cut -f1) MB"

cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/usr/sbin:/bin:/sbin HOME=/root "$@"; }

started=$(date +%s)
before=$(in_root dpkg-query -W -f '.\n' | wc -l)
in_root apt-get update
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$deb")"
after=$(in_root dpkg-query -W -f '.\n' | wc -l)
say "apt-get installed the package and $((after - before - 1)) others in $(elapsed) s"

where=$(in_root sh -c 'command -v pasdraw') || die "pasdraw is not on the PATH"
[ "$where" = /usr/bin/pasdraw ] || die "pasdraw found at $where, not /usr/bin/pasdraw"
status=0
in_root env QT_QPA_PLATFORM=offscreen timeout 3 pasdraw || status=$?
[ "$status" -eq 124 ] || die "pasdraw ended with status $status within 3 s instead of running on"
say "ok: $where ran for 3 s on the offscreen platform"
