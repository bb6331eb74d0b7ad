#!/usr/bin/env bash
# The full-screen viewer: a double click opens it on the file; the right button and
# the arrow keys step through the folder with wrap-around while the main window's
# caption follows; the popup menu zooms to 2x (a scroll bar appears and scrolls the
# picture) and fits it again; Esc hides the viewer, and a new one starts fitted; a
# file gone from the disk is reported and closes the viewer.
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS"
# 640 x 480 pictures: at their natural size in the middle of the 1280 x 800 screen they
# cover (320,160)-(959,639), with a yellow band on top and a magenta band at the bottom.
make_image "$PICS/a.bmp" 640x480 red
make_image "$PICS/b.bmp" 640x480 lime
make_image "$PICS/c.bmp" 640x480 blue
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"
CAP_A=$(caption_for "$PICS/a.bmp" 480 640)
CAP_B=$(caption_for "$PICS/b.bmp" 480 640)
CAP_C=$(caption_for "$PICS/c.bmp" 480 640)
if [ "$SCREEN_W" -ne 1280 ] || [ "$SCREEN_H" -ne 800 ]; then
    fail "the screen is 1280 x 800" "${SCREEN_W}x$SCREEN_H"
    acc_finish
fi

# popup_choose KEYS...: left click on the picture opens the popup menu; then the keys.
popup_choose() {
    local before
    before=$(all_visible)
    xdotool mousemove 640 400 click 1
    wait_new_window "$before" >/dev/null || { fail "a left click on the picture opens the popup menu"; return 1; }
    key "$@"
}
# Picks an item of the popup's Zoom submenu: 1, 2 or 3.
zoom() {
    popup_choose Down Down Down Down || return 1
    local before
    before=$(all_visible)
    key Right
    wait_new_window "$before" >/dev/null || { fail "the Zoom submenu opens"; return 1; }
    case $1 in 1) key Return ;; 2) key Down Return ;; 3) key Down Down Return ;; esac
}

start_app "$T" || acc_finish
click_file_list
key Down
check_caption "a.bmp selected" "$CAP_A"
measure_selected_row || fail "the highlight of the selected row is found on the screen"

xdotool mousemove "$(row_x)" "$(row_y 0)" click --repeat 2 --delay 60 1
if poll 10 has_viewer; then pass "a double click opens the full-screen viewer"; else fail "a double click opens the full-screen viewer"; acc_finish; fi
focus "$(viewer)"
xdotool mousemove 640 400
expect_screen fit-a "10 10 black" "640 400 red" "640 170 yellow" "640 630 magenta" "640 700 black" "300 400 black"

# Stepping: right button, then arrow keys, with wrap-around at both ends.
xdotool click 3
check_caption "the right button steps to b.bmp" "$CAP_B"
expect_screen step-b "640 400 lime"
key Down
check_caption "Down steps to c.bmp" "$CAP_C"
key Down
check_caption "Down on the last file wraps to a.bmp" "$CAP_A"
expect_screen wrap-a "640 400 red"
key Up
check_caption "Up on the first file wraps to c.bmp" "$CAP_C"
key Up
check_caption "Up steps back to b.bmp" "$CAP_B"
key Next
sleep 0.8
check_caption "Page Down does not step" "$CAP_B"
expect_screen after-pagedown "640 400 lime"
popup_choose Down Down Return
check_caption "Previous Image in the popup steps back to a.bmp" "$CAP_A"
popup_choose Down Return
check_caption "Next Image in the popup steps to b.bmp" "$CAP_B"

# 2x: 1280 x 960 on the 1280 x 800 screen, so a vertical scroll bar along the right.
zoom 2
expect_screen zoom2-b "10 10 yellow" "5 400 lime" "640 790 lime"
shot=$(screenshot zoom2-bar)
if colour_near "$shot" 1271 400 0 255 0; then fail "a scroll bar covers the right edge at 2x"; else pass "a scroll bar covers the right edge at 2x"; fi
# A press in the track below the thumb scrolls one screen: to the picture's end.
xdotool mousemove 1271 700 click 1
expect_screen scrolled-b "10 10 lime" "640 790 magenta"
# The next picture keeps 2x and starts at the top again.
xdotool mousemove 640 400 click 3
check_caption "the right button steps to c.bmp at 2x" "$CAP_C"
expect_screen zoom2-c "10 10 yellow" "5 400 blue"
popup_choose Down Down Down Return
expect_screen fitted-c "10 10 black" "640 400 blue" "300 400 black"

# Esc hides the viewer; the main window keeps the caption and opens a new viewer that
# starts fitted, whatever the previous one showed.
zoom 3
expect_screen zoom3-c "10 10 yellow" "640 400 blue"
key Escape
if poll 5 no_viewer; then pass "Esc hides the viewer"; else fail "Esc hides the viewer"; fi
check_caption "the main window still shows c.bmp" "$CAP_C"
menu i v
if poll 10 has_viewer; then pass "Image > View Full Screen opens a viewer"; else fail "Image > View Full Screen opens a viewer"; fi
expect_screen reopened-c "10 10 black" "640 400 blue" "640 170 yellow"

# A file that left the disk: stepping to it reports it and closes the viewer, and the
# main window goes on working.
rm "$PICS/a.bmp"
focus "$(viewer)"
key Down
check_caption "the selection steps to the missing a.bmp" "$CAP_A"
if box=$(wait_window '^Images Browser and Viewer$' 10); then
    pass "the missing file is reported in an error box"
    focus "$box"
    key Return
    check "Return closes the error box" wait_no_window '^Images Browser and Viewer$' 5
else
    fail "the missing file is reported in an error box"
fi
check "the viewer closed after the error" poll 5 no_viewer
check "the program still runs" app_alive
focus_main
key Down
check_caption "the main window still steps" "$CAP_B"

check "Exit ends the program" exit_by_menu
acc_finish
