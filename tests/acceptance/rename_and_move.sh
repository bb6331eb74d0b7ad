#!/usr/bin/env bash
# Rename (F2) and Move (File > Move, the "Move Images" dialog): the file changes its
# name or folder on disk, the list is read again, and its comment follows it. A name
# that is taken is refused with a message and nothing changes. The dialog moves to the
# folder it has open (not one only highlighted), and moves the file selected when
# "Move" is pressed.
source "$(dirname "$0")/lib.sh"
acc_init

PICS="$T/pics"
mkdir -p "$PICS/archive"
make_image "$PICS/cat.jpg" 640x480 red
make_image "$PICS/dog.jpg" 320x240 blue
make_image "$PICS/eel.jpg" 100x100 lime
printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"
sql "insert into tblTooltip (Path, Tooltip) values ('$PICS/dog.jpg', 'Good boy');"
PROMPT='^Images Browser and Viewer$'
DIALOG='^Move Images$'
DOG_SUM=$(cksum <"$PICS/dog.jpg")
comment_rows() { sql "select Path || '|' || Tooltip from tblTooltip;"; }

# press_in_dialog DIALOG LEFT TOP: clicks the control whose design place in twips of
# the dialog's 4335 x 4170 client area starts at LEFT, TOP (a button is 975 x 375).
press_in_dialog() {
    geometry "$1"
    xdotool mousemove $((GX + GW * ($2 + 487) / 4335)) $((GY + GH * ($3 + 187) / 4170)) click 1
}
press_move() { press_in_dialog "$1" 3240 3120; }
press_cancel() { press_in_dialog "$1" 3240 3600; }
# Gives the dialog's folder list the keyboard with a click on its lower part.
click_folder_list() { press_in_dialog "$1" 500 3300; }

start_app "$T" || acc_finish
click_file_list
key Down Down
check_caption "dog.jpg selected" "$(caption_for "$PICS/dog.jpg" 240 320)"

# --- Rename with F2; the prompt offers the old name, to which a prefix is typed.
key F2
if p=$(wait_window "$PROMPT" 5); then
    pass "F2 opens the rename prompt"
    focus "$p"
    key Home
    type_text "old-"
    key Return
    wait_no_window "$PROMPT" 5 || fail "the rename prompt closes"
else
    fail "F2 opens the rename prompt"
fi
poll 5 test -f "$PICS/old-dog.jpg"
check "the file has its new name" test -f "$PICS/old-dog.jpg"
check "the old name is gone" test ! -e "$PICS/dog.jpg"
expect_eq "the comment row follows the new name" "$PICS/old-dog.jpg|Good boy" "$(comment_rows)"
focus_main
click_file_list
key Down Down Down
check_caption "the list was read again: old-dog.jpg is third" "$(caption_for "$PICS/old-dog.jpg" 240 320)"

# --- Rename onto a name that is taken: refused with a message, nothing changes.
key Home
check_caption "cat.jpg selected" "$(caption_for "$PICS/cat.jpg" 480 640)"
key F2
if p=$(wait_window "$PROMPT" 5); then
    focus "$p"
    key ctrl+a
    type_text "old-dog.jpg"
    key Return
    # The prompt closes and the error box, with the same title, takes its place.
    if box=$(wait_other_window "$PROMPT" "$p"); then
        pass "renaming onto a taken name shows an error box"
        focus "$box"
        key Return
        wait_no_window "$PROMPT" 5 || fail "the error box closes with Return"
    else
        fail "renaming onto a taken name shows an error box"
    fi
else
    fail "F2 opens the rename prompt again"
fi
check "cat.jpg is still there" test -f "$PICS/cat.jpg"
expect_eq "old-dog.jpg was not overwritten" "$DOG_SUM" "$(cksum <"$PICS/old-dog.jpg")"

# --- Cancel in the move dialog moves nothing.
focus_main
key End
check_caption "old-dog.jpg selected for moving" "$(caption_for "$PICS/old-dog.jpg" 240 320)"
if menu f m && dlg=$(wait_window "$DIALOG" 5); then
    pass "File > Move opens the Move Images dialog"
    press_cancel "$dlg"
    check "Cancel closes the dialog" wait_no_window "$DIALOG" 5
    check "Cancel moved nothing" test -f "$PICS/old-dog.jpg"
else
    fail "File > Move opens the Move Images dialog"
fi

# --- A folder only highlighted (End moves the highlight to the subfolder) is not the
# target: the dialog still has the file's own folder open.
if menu f m && dlg=$(wait_window "$DIALOG" 5); then
    focus "$dlg"
    click_folder_list "$dlg"
    key End
    press_move "$dlg"
    # Moving a file onto itself may be refused with a box, shown while the dialog is
    # still open; that box is not the point here.
    if box=$(wait_window "$PROMPT" 3); then focus "$box"; key Return; wait_no_window "$PROMPT" 5; fi
    check "Move closes the dialog" wait_no_window "$DIALOG" 5
    check "a highlighted folder does not receive the file" test ! -e "$PICS/archive/old-dog.jpg"
    check "the file stays in the open folder" test -f "$PICS/old-dog.jpg"
else
    fail "File > Move opens the dialog a second time"
fi

# --- Open the subfolder in the dialog (End, Enter), change the selection in the main
# window meanwhile, then press Move: the file selected then is moved.
focus_main
key Up
check_caption "eel.jpg selected when the dialog opens" "$(caption_for "$PICS/eel.jpg" 100 100)"
if menu f m && dlg=$(wait_window "$DIALOG" 5); then
    focus "$dlg"
    click_folder_list "$dlg"
    key End Return
    focus_main
    key Down
    check_caption "old-dog.jpg selected while the dialog is open" "$(caption_for "$PICS/old-dog.jpg" 240 320)"
    focus "$dlg"
    press_move "$dlg"
    check "Move closes the dialog" wait_no_window "$DIALOG" 5
    poll 5 test -f "$PICS/archive/old-dog.jpg"
    check "the file selected at Move is in the chosen folder" test -f "$PICS/archive/old-dog.jpg"
    check "it left the old folder" test ! -e "$PICS/old-dog.jpg"
    check "the file selected earlier stays" test -f "$PICS/eel.jpg"
    expect_eq "the moved file is unchanged" "$DOG_SUM" "$(cksum <"$PICS/archive/old-dog.jpg" 2>/dev/null)"
    expect_eq "the comment row follows the move" "$PICS/archive/old-dog.jpg|Good boy" "$(comment_rows)"
    check "no error box after the move" no_window "$PROMPT"
else
    fail "File > Move opens the dialog a third time"
fi
focus_main
click_file_list
key Down Down Down
sleep 0.5
check_caption "the list now holds cat.jpg and eel.jpg" "$(caption_for "$PICS/eel.jpg" 100 100)"

check "Exit ends the program" exit_by_menu
acc_finish
