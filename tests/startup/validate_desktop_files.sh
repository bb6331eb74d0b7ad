#!/usr/bin/env bash
# validate_desktop_files.sh <desktop entry> <metainfo>: both must pass their validators
# without a warning (a hint is allowed), and the entry must open files of our types.
set -u
entry=$1
metainfo=$2
rc=0
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh --test installs it)"; exit 1; }
done
out=$(desktop-file-validate "$entry" 2>&1) || rc=1
[ -z "$out" ] || { echo "desktop-file-validate: $out"; rc=1; }
appstreamcli validate --no-net --explain "$metainfo" || rc=1
grep -qx 'Exec=tessel %f' "$entry" || { echo "FAIL: the entry does not start tessel on one file"; rc=1; }
grep -qx 'MimeType=image/jpeg;image/gif;image/bmp;' "$entry" || { echo "FAIL: the entry's MimeType"; rc=1; }
[ "$rc" -eq 0 ] && echo "both files are valid"
exit "$rc"
