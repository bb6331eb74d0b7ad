#!/usr/bin/env bash
# Browsing a folder: the list holds the pictures of the four kinds (any letter case)
# and nothing else; a click or an arrow key makes a file current, the caption shows its
# path and size and the preview shows the picture.
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS/inner"
make_image "$PICS/a.jpg" 640x480 red
make_image "$PICS/b.gif" 300x200 lime
make_image "$PICS/c.bmp" 123x77 blue
make_image "$PICS/d.dib" 64x200 cyan
make_image "$PICS/E.JPG" 50x40 orange
make_image "$PICS/f.png" 40x40 black
make_image "$PICS/inner/g.jpg" 40x40 black
echo "not a picture" >"$PICS/notes.txt"
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"

start_app "$T" || acc_finish
# The folder list holds the keyboard at start: Tab goes on to the file list.
key Tab Down
check_caption "Tab, Down at start selects the first file" "$(caption_for "$PICS/a.jpg" 480 640)"
if [ -n "${ACC_WM:-}" ]; then
    # Framed by a window manager, the file list still reaches the bottom of the window:
    # no strip of the window's grey under it (the list itself is white).
    geometry "$ACC_MAIN"
    shot=$(screenshot start-layout)
    expect_eq "the file list reaches the window's bottom" "255 255 255" \
        "$(colour_at "$shot" $((GX + GW * 3 / 4)) $((GY + GH - 4)))"
fi

# Where the preview sits: the middle of the bottom-left pane.
geometry "$ACC_MAIN"
PX=$((GX + GW / 4)) PY=$((GY + GH * 3 / 4))
expect_screen preview-a "$PX $PY red"

key Down
check_caption "GIF size in the caption" "$(caption_for "$PICS/b.gif" 200 300)"
expect_screen preview-b "$PX $PY lime"
key Down
check_caption "BMP size in the caption" "$(caption_for "$PICS/c.bmp" 77 123)"
key Down
check_caption "DIB size in the caption" "$(caption_for "$PICS/d.dib" 200 64)"
expect_screen preview-d "$PX $PY cyan"
key Down
check_caption "upper-case extension is listed" "$(caption_for "$PICS/E.JPG" 40 50)"
key Down
sleep 0.5
check_caption "nothing else is listed after the last picture" "$(caption_for "$PICS/E.JPG" 40 50)"
key Up Up
check_caption "Up goes back two entries" "$(caption_for "$PICS/c.bmp" 77 123)"
# Enter reads the selected file again: a picture replaced on disk shows its new size.
make_image "$PICS/c.bmp" 99x33 blue
key Return
check_caption "Enter shows the selected file afresh" "$(caption_for "$PICS/c.bmp" 33 99)"

# Mouse: find the rows from the highlight of the selected entry (the first), then
# click other rows.
key Home
check_caption "Home selects the first entry" "$(caption_for "$PICS/a.jpg" 480 640)"
if measure_selected_row; then
    xdotool mousemove "$(row_x)" "$(row_y 1)" click 1
    check_caption "a click on the second row selects it" "$(caption_for "$PICS/b.gif" 200 300)"
    xdotool mousemove "$(row_x)" "$(row_y 4)" click 1
    check_caption "a click on the fifth row selects it" "$(caption_for "$PICS/E.JPG" 40 50)"
    expect_screen preview-e "$PX $PY orange"
    # A right click opens the File menu and leaves the selection alone.
    before=$(all_visible)
    xdotool mousemove "$(row_x)" "$(row_y 0)" click 3
    if wait_new_window "$before" >/dev/null; then
        pass "a right click on the list opens a menu"
        key Escape
        poll 3 no_small_windows
    else
        fail "a right click on the list opens a menu"
    fi
    check_caption "the right click did not select the row under the pointer" "$(caption_for "$PICS/E.JPG" 40 50)"
else
    fail "the highlight of the selected row is found on the screen"
fi

check "Exit ends the program" exit_by_menu
acc_finish
