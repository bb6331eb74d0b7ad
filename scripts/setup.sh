#!/usr/bin/env bash
# Installs the Debian packages that are missing, as root directly, otherwise through sudo.
#   scripts/setup.sh          what building and running need (make run, make install)
#   scripts/setup.sh --test   that, plus the test tools (make test, make check, make fuzz,
#                             make bench): the virtual X screen and what drives and looks at
#                             it, the desktop-file validators, the fuzzing compiler and the
#                             benchmark's reference decoder
set -euo pipefail

packages=(
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-image-formats-plugins libgl-dev
  cmake g++ make libexif-dev sqlite3
)
case "${1:-}" in
  "") ;;
  --test)
    packages+=(xvfb xauth xdotool x11-utils openbox imagemagick desktop-file-utils appstream libglib2.0-bin
               clang libclang-rt-14-dev libjpeg-turbo-progs)
    ;;
  *)
    echo "usage: $0 [--test]" >&2
    exit 2
    ;;
esac

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
