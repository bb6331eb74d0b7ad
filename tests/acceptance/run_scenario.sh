#!/usr/bin/env bash
# Runs one acceptance scenario in a virtual X screen of its own:
#   run_scenario.sh [--wm openbox] <scenario.sh> <path to tessel> <comment table sql>
# With --wm the screen has that window manager, as a user's desktop has; without, bare X.
# Without the X tools (or the window manager) it reports the scenario as skipped (77).
set -u
wm=""
if [ "${1:-}" = "--wm" ]; then
    wm=$2
    shift 2
fi
scenario=$1
shift
for tool in xvfb-run xdotool xprop $wm; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done
# Scenarios that run side by side would race for the same display number when each
# searched from the same start, so each starts its search somewhere else. (xvfb-run
# searches when it reads -a, so -n must come first.)
exec xvfb-run -n $((100 + $$ % 800)) -a -s "-screen 0 1280x800x24" \
    bash "$(dirname "$0")/in_session.sh" "$wm" "$scenario" "$@"
