#!/usr/bin/env bash
# Delete (the Del key, confirmed with OK) puts the selected file into the user's trash
# with its trash information, selects the file now at the same place, and keeps the
# image's comment; Cancel deletes nothing.
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS"
make_image "$PICS/p1.jpg" 100x50 red
make_image "$PICS/p2.jpg" 100x60 green
make_image "$PICS/p3.jpg" 100x70 blue
make_image "$PICS/p4.jpg" 100x80 cyan
make_image "$PICS/p5.jpg" 100x90 magenta
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"
sql "insert into tblTooltip (Path, Tooltip) values ('$PICS/p3.jpg', 'third');"
P3_SUM=$(cksum <"$PICS/p3.jpg")
BOX='^Images Browser and Viewer$'

start_app "$T" || acc_finish
click_file_list
key Down Down Down
check_caption "p3.jpg selected" "$(caption_for "$PICS/p3.jpg" 70 100)"

# Cancel: Escape answers the confirmation with Cancel.
key Delete
if box=$(wait_window "$BOX" 5); then
    pass "Del asks for confirmation"
    focus "$box"
    key Escape
    wait_no_window "$BOX" 5 || fail "Escape closes the confirmation"
else
    fail "Del asks for confirmation"
fi
sleep 0.3
check "Cancel keeps the file" test -f "$PICS/p3.jpg"

# OK: Return answers with the default button, OK.
focus_main
key Delete
if box=$(wait_window "$BOX" 5); then
    focus "$box"
    key Return
    wait_no_window "$BOX" 5 || fail "Return closes the confirmation"
else
    fail "Del asks for confirmation again"
fi
poll 5 test ! -e "$PICS/p3.jpg"
check "the file left its folder" test ! -e "$PICS/p3.jpg"
check "the file is in the trash" test -f "$TRASH/files/p3.jpg"
expect_eq "the trashed file is unchanged" "$P3_SUM" "$(cksum <"$TRASH/files/p3.jpg" 2>/dev/null)"
INFO="$TRASH/info/p3.jpg.trashinfo"
check "the trash holds its information file" test -f "$INFO"
expect_eq "the information names the original place" "Path=$PICS/p3.jpg" "$(grep '^Path=' "$INFO" 2>/dev/null)"
check "the information holds the deletion date" grep -Eq '^DeletionDate=[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}$' "$INFO"
check_caption "the file now at that place is selected" "$(caption_for "$PICS/p4.jpg" 80 100)"
expect_eq "the deleted image's comment stays" "1" "$(rows_for "$PICS/p3.jpg")"

# The list now holds four files.
focus_main
key Up
check_caption "p2.jpg precedes p4.jpg" "$(caption_for "$PICS/p2.jpg" 60 100)"
key Down Down
check_caption "p5.jpg follows p4.jpg" "$(caption_for "$PICS/p5.jpg" 90 100)"
key Down
sleep 0.5
check_caption "p5.jpg is the last file" "$(caption_for "$PICS/p5.jpg" 90 100)"

# Deleting the last file of the list.
key Delete
if box=$(wait_window "$BOX" 5); then
    focus "$box"
    key Return
    wait_no_window "$BOX" 5 || fail "Return closes the confirmation"
fi
poll 5 test -f "$TRASH/files/p5.jpg"
check "the last file went to the trash as well" test -f "$TRASH/files/p5.jpg"
check "the program still runs after deleting the last file" app_alive

check "Exit ends the program" exit_by_menu
acc_finish
