#!/bin/sh
# Installs the Debian packages pasdraw needs to build, run and test it, and only
# those that are missing, so a machine that has them all is left untouched.
set -eu

packages="g++ make cmake pkgconf libgtest-dev libgmock-dev libbenchmark-dev
qt6-base-dev libxcb1-dev fonts-dejavu-core fp-compiler fp-units-gfx fp-units-fcl xvfb xauth xdotool x11-apps time
libx11-dev libxext-dev libxrandr-dev libxxf86vm-dev libxxf86dga-dev libxi-dev"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
