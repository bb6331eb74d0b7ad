#!/usr/bin/env bash
# File > Image Information: before any selection an error box; afterwards a box titled
# "Tessel Image Browser" that closes with Return and tells the size of the picture in
# the preview: the same box for the same picture, another for another picture, and the
# same again after the file left the disk (the size comes from the preview).
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS"
make_image "$PICS/big.bmp" 640x480 red
make_image "$PICS/small.gif" 320x200 blue
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"
ERROR_BOX='^Images Browser and Viewer$'
INFO_BOX='^Tessel Image Browser$'

# info_box NAME: opens the information box, keeps a picture of it as NAME.png and
# closes it with Return.
info_box() {
    local box
    menu f i || return 1
    if ! box=$(wait_window "$INFO_BOX" 5); then
        fail "$1: the information box appears"
        return 1
    fi
    pass "$1: the information box appears"
    focus "$box"
    sleep 0.3
    geometry "$box"
    convert "$(screenshot "$1-screen")" -crop "${GW}x${GH}+$GX+$GY" +repage "$SHOTS/$1.png"
    key Return
    check "$1: Return closes the box" wait_no_window "$INFO_BOX" 5
}
# differing_pixels A B: how many pixels of the two box pictures differ (a different
# size counts as all of them).
differing_pixels() {
    local n
    n=$(compare -metric AE "$SHOTS/$1.png" "$SHOTS/$2.png" null: 2>&1) || true
    [[ "$n" =~ ^[0-9]+$ ]] && echo "$n" || echo 999999
}

start_app "$T" || acc_finish

# Nothing selected yet: an error box, and no viewer either.
menu f i
if box=$(wait_window "$ERROR_BOX" 5); then
    pass "before any selection Image Information shows the error box"
    check "no information box comes with it" no_window "$INFO_BOX"
    focus "$box"
    key Return
    check "Return closes the error box" wait_no_window "$ERROR_BOX" 5
else
    fail "before any selection Image Information shows the error box"
fi
menu i v
sleep 1.5
check "before any selection View Full Screen opens nothing" no_viewer

click_file_list
key Down
check_caption "big.bmp selected" "$(caption_for "$PICS/big.bmp" 480 640)"
info_box big
focus_main
key Down
check_caption "small.gif selected" "$(caption_for "$PICS/small.gif" 200 320)"
info_box small
focus_main
key Up
check_caption "big.bmp selected again" "$(caption_for "$PICS/big.bmp" 480 640)"
info_box big-again

# The file goes; the preview keeps its picture, and so does the box.
rm "$PICS/big.bmp"
info_box big-gone

if [ -f "$SHOTS/big.png" ] && [ -f "$SHOTS/small.png" ] && [ -f "$SHOTS/big-again.png" ] && [ -f "$SHOTS/big-gone.png" ]; then
    expect_eq "the same picture gives the same box" 0 "$(differing_pixels big big-again)"
    n=$(differing_pixels big small)
    if [ "$n" -gt 0 ]; then pass "another picture size gives another box"; else fail "another picture size gives another box"; fi
    expect_eq "a file gone from the disk still gives its box" 0 "$(differing_pixels big big-gone)"
else
    fail "pictures of all four boxes were taken"
fi

check "Exit ends the program" exit_by_menu
acc_finish
