#!/usr/bin/env bash
# Exit ends the whole program: with the move dialog still open, a viewer hidden by Esc
# and another viewer on the screen, File > Exit leaves no process behind and saves the
# folder.
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS"
make_image "$PICS/a.bmp" 640x480 red
make_image "$PICS/b.bmp" 640x480 blue
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"

start_app "$T" || acc_finish
# The setting has been read; Exit must write it afresh.
rm -f "$INI"
click_file_list
key Down
check_caption "a.bmp selected" "$(caption_for "$PICS/a.bmp" 480 640)"

# The move dialog stays open: it is modeless.
if menu f m && wait_window '^Move Images$' 5 >/dev/null; then pass "the move dialog is open"; else fail "the move dialog is open"; fi

# A first viewer, hidden with Esc.
menu i v
if poll 10 has_viewer; then pass "a first viewer opens"; else fail "a first viewer opens"; fi
focus "$(viewer)"
key Escape
check "Esc hides the first viewer" poll 5 no_viewer

# A second viewer stays on the screen.
focus_main
key Down
check_caption "b.bmp selected" "$(caption_for "$PICS/b.bmp" 480 640)"
menu i v
if poll 10 has_viewer; then pass "a second viewer opens"; else fail "a second viewer opens"; fi
check "the move dialog is still open" has_window '^Move Images$'

# Exit from the main window, under the viewer.
menu f x
if poll 15 app_gone; then pass "Exit ends the process"; else fail "Exit ends the process" "still running after 15 s"; fi
expect_eq "the folder was saved" "lastDir=$PICS" "$(grep '^lastDir=' "$INI" 2>/dev/null)"

acc_finish
