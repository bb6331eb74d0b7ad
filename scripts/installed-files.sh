#!/usr/bin/env bash
# Keeps the list of files `make install` wrote, and removes them again for `make uninstall`.
#   installed-files.sh record <cmake install_manifest.txt> <list> [DESTDIR]
#   installed-files.sh remove <list>
# The list holds each file's size, modification time and full path (DESTDIR included).
# A file that changed since it was installed (another size or time) is not ours any more:
# it is kept, and said so.
set -euo pipefail

case "${1:-}" in
  record)
    manifest=$2 list=$3 destdir=${4:-}
    : >"$list.partial"
    while IFS= read -r f || [ -n "$f" ]; do
      [ -n "$f" ] || continue
      stat -c '%s %Y %n' -- "$destdir$f" >>"$list.partial"
    done <"$manifest"
    mv -f "$list.partial" "$list"
    # `sudo make install` writes these as root into the user's build folder; they are
    # handed back to its owner so that a later install or uninstall without sudo works.
    chown --reference="$(dirname "$list")" -- "$list" "$manifest" 2>/dev/null || true
    ;;
  remove)
    list=$2
    [ -f "$list" ] || { echo "nothing installed (no $list)"; exit 1; }
    kept=0
    while read -r size mtime f; do
      if [ ! -e "$f" ] && [ ! -L "$f" ]; then
        continue
      fi
      if [ -f "$f" ] && [ "$(stat -c '%s %Y' -- "$f")" = "$size $mtime" ]; then
        rm -f -- "$f" && echo "removed $f"
      else
        echo "kept $f: it changed since it was installed"
        kept=1
      fi
    done <"$list"
    [ "$kept" -eq 0 ] && rm -f "$list"
    exit 0
    ;;
  *)
    echo "usage: $0 record <manifest> <list> [DESTDIR] | remove <list>" >&2
    exit 2
    ;;
esac
