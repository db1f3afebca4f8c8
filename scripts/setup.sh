#!/usr/bin/env bash
# Installs the Debian packages QUARVELL needs, only those that are missing.
# Usage: scripts/setup.sh play|test
# Works as root or through sudo; safe to run again.
set -euo pipefail

build_packages=(g++ cmake make pkg-config liballegro4-dev libloadpng4-dev)
# clang and its runtime libraries (libFuzzer, the sanitizers) build the fuzz
# targets; dpkg-dev and file let CPack make the .deb, and appstream,
# desktop-file-utils, lintian and man-db check what it installs; openbox,
# wmctrl and xkill (x11-apps) are the desktop around the game's window.
test_packages=(googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils x11-apps openbox wmctrl
               imagemagick libx11-dev
               clang libclang-rt-14-dev dpkg-dev file appstream desktop-file-utils
               lintian man-db)

case "${1:-play}" in
  play) wanted=("${build_packages[@]}") ;;
  test) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present (${wanted[*]})"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
