#!/usr/bin/env bash
# Prints the path of a real photograph for the benchmark: a 5640 x 3172 JPEG from a
# Debian wallpaper package, fetched with apt-get download into the folder given (once)
# and unpacked there; nothing is installed. Prints nothing when it cannot be had.
set -u
dir=${1:?usage: bench-photo.sh <folder>}
photo="$dir/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg"
if [ ! -f "$photo" ]; then
    mkdir -p "$dir"
    (cd "$dir" && apt-get download mate-backgrounds >/dev/null 2>&1 && dpkg-deb -x mate-backgrounds_*.deb . \
        && rm -f mate-backgrounds_*.deb) || true
fi
[ -f "$photo" ] && echo "$photo"
exit 0
