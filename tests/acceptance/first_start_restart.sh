#!/usr/bin/env bash
# First start without settings opens the program's own folder; the folder the user
# went to is saved at Exit and opened again at the next start; a saved folder that
# has gone since leaves the program in its working folder, without a message.
source "$(dirname "$0")/lib.sh"
acc_init

make_image "$APP/beside.bmp" 80x60 orange
mkdir -p "$APP/album" "$T/work"
make_image "$APP/album/x1.jpg" 640x480 red
make_image "$APP/album/x2.gif" 200x100 green
make_image "$T/work/w1.bmp" 32x16 blue

# --- first start: no settings file yet
[ ! -e "$INI" ] || fail "no settings file before the first start"
start_app "$T" || acc_finish
expect_eq "caption at start" "Tessel Image Explorer" "$(caption)"
click_file_list
key Down
check_caption "first start lists the program's folder" "$(caption_for "$APP/beside.bmp" 60 80)"

# Open the subfolder with the keyboard: it is the last entry of the folder list.
geometry "$ACC_MAIN"
xdotool mousemove $((GX + GW / 4)) $((GY + GH * 45 / 100)) click 1
sleep 0.2
key End Return
click_file_list
key Down
check_caption "the opened folder's first file is selected" "$(caption_for "$APP/album/x1.jpg" 480 640)"

check "Exit from the File menu ends the program" exit_by_menu
check "the settings file exists after Exit" test -f "$INI"
expect_eq "lastDir holds the folder shown at Exit" \
    "lastDir=$APP/album" "$(grep '^lastDir=' "$INI" 2>/dev/null)"
check "the setting is in section Startup" grep -qx '\[Startup\]' "$INI"

# --- restart: back in the saved folder, with its two files
start_app "$T" || acc_finish
expect_eq "caption at restart" "Tessel Image Explorer" "$(caption)"
click_file_list
key Down
check_caption "restart lists the saved folder" "$(caption_for "$APP/album/x1.jpg" 480 640)"
key Down
check_caption "second file of the saved folder" "$(caption_for "$APP/album/x2.gif" 100 200)"
key Down
sleep 0.5
check_caption "the saved folder holds only those two pictures" "$(caption_for "$APP/album/x2.gif" 100 200)"
key alt+f x
check "Exit by the keyboard ends the program again" poll 15 app_gone

# --- the saved folder was deleted between runs
rm -rf "$APP/album"
start_app "$T/work" || acc_finish
sleep 1
check "no message about the missing folder" no_window '^Images Browser and Viewer$'
click_file_list
key Down
check_caption "start falls back to the working folder" "$(caption_for "$T/work/w1.bmp" 16 32)"
check "Exit ends the program" exit_by_menu
expect_eq "lastDir now holds the working folder" "lastDir=$T/work" "$(grep '^lastDir=' "$INI" 2>/dev/null)"

acc_finish
