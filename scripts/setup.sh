#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzzing and the benchmark need,
# but only those that are missing: as root directly, otherwise through sudo.
set -euo pipefail

packages=(
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev cmake g++ make
  libexif-dev libjpeg-turbo-progs sqlite3
  xvfb xauth xdotool x11-utils openbox imagemagick
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "Need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
