#!/usr/bin/env bash
# Inside the virtual X screen: starts the window manager named first (none when empty),
# waits until it manages the screen, runs the scenario with the remaining arguments and
# ends the window manager again. The scenario sees the manager's name in ACC_WM.
set -u
wm=$1
scenario=$2
shift 2
wm_pid=""
if [ -n "$wm" ]; then
    "$wm" >/dev/null 2>&1 &
    wm_pid=$!
    # A manager announces itself on the root window once it has taken the screen.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi
ACC_WM=$wm bash "$scenario" "$@"
rc=$?
[ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
exit $rc
