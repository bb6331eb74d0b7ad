#!/usr/bin/env bash
# Comments follow their images: a comment added in the program is carried by the file
# itself; after the program is closed, a shell renames one commented image and renames
# another after stripping its attribute; at the next start each shows its comment under
# its new name, from one row, and a new file with no past shows none.
source "$(dirname "$0")/lib.sh"
acc_init

comment_pictures
HARBOUR='Harbour at dawn, "low tide"'
DOOR='Blue door'

# hover_preview [SECONDS]: rests the pointer on the preview and waits for a tooltip.
hover_preview() {
    focus_main
    poll 5 no_small_windows
    local before
    before=$(all_visible)
    geometry "$ACC_MAIN"
    xdotool mousemove $((GX + GW / 4)) $((GY + GH * 3 / 4))
    sleep 0.1
    xdotool mousemove $((GX + GW / 4 + 4)) $((GY + GH * 3 / 4 + 4))
    wait_new_window "$before" "${1:-5}" >/dev/null
}
answer_prompt() {
    local p
    p=$(wait_window "$PROMPT" 5) || { fail "the prompt appears"; return 1; }
    focus "$p"
    type_text "$1"
    key Return
    wait_no_window "$PROMPT" 5 || fail "the prompt closes"
}
rows() { sql "select Path || '|' || Tooltip from tblTooltip order by Path;"; }
rows_are() { [ "$(rows)" = "$1" ]; }
attribute() { python3 -c 'import os, sys; print(os.getxattr(sys.argv[1], "user.xdg.comment").decode())' "$1" 2>/dev/null; }

start_app "$T" || acc_finish
click_file_list
key Down
check_caption "a.jpg selected" "$(caption_for "$PICS/a.jpg" 480 640)"
menu t n && answer_prompt "$HARBOUR"
key Down
check_caption "b.jpg selected" "$(caption_for "$PICS/b.jpg" 480 640)"
menu t n && answer_prompt "$DOOR"
expect_eq "two comments stored" "$PICS/a.jpg|$HARBOUR
$PICS/b.jpg|$DOOR" "$(rows)"
expect_eq "a.jpg carries its comment" "$HARBOUR" "$(attribute "$PICS/a.jpg")"
check "Exit ends the program" exit_by_menu

# Another program moves the files while this one is closed.
mv "$PICS/a.jpg" "$PICS/x-harbour.jpg"
python3 -c 'import os, sys; os.removexattr(sys.argv[1], "user.xdg.comment")' "$PICS/b.jpg"
mv "$PICS/b.jpg" "$PICS/c-door.jpg"
cp "$PICS/c-door.jpg" "$PICS/d-fresh.jpg"  # a new file: new inode, no attribute

start_app "$T" || acc_finish
click_file_list
key Down
check_caption "c-door.jpg selected" "$(caption_for "$PICS/c-door.jpg" 480 640)"
if poll 10 rows_are "$PICS/a.jpg|$HARBOUR
$PICS/c-door.jpg|$DOOR"; then pass "the stripped file's comment follows it by identity"; else fail "the stripped file's comment follows it by identity" "$(rows)"; fi
check "c-door.jpg shows its comment as the preview's tooltip" hover_preview
expect_eq "c-door.jpg carries its comment again" "$DOOR" "$(attribute "$PICS/c-door.jpg")"

focus_main
key Down
check_caption "d-fresh.jpg selected" "$(caption_for "$PICS/d-fresh.jpg" 480 640)"
key Down
check_caption "x-harbour.jpg selected" "$(caption_for "$PICS/x-harbour.jpg" 480 640)"
if poll 10 rows_are "$PICS/c-door.jpg|$DOOR
$PICS/x-harbour.jpg|$HARBOUR"; then pass "the renamed file's comment follows it, one row"; else fail "the renamed file's comment follows it, one row" "$(rows)"; fi
check "x-harbour.jpg shows its comment as the preview's tooltip" hover_preview

# The fresh copy was selected before x-harbour.jpg, whose relinking is now known done.
expect_eq "the fresh copy gets no row" "0" "$(rows_for "$PICS/d-fresh.jpg")"
focus_main
key Up
check_caption "d-fresh.jpg selected again" "$(caption_for "$PICS/d-fresh.jpg" 480 640)"
if hover_preview 3; then fail "no tooltip for the fresh copy"; else pass "no tooltip for the fresh copy"; fi

check "Exit ends the program" exit_by_menu

# Backup and move: the comments exported from the command line, without a window, and
# imported into the empty store of another copy of the program: the same rows, once.
"$APP/tessel" --export-comments "$T/comments.csv" >"$T/export.txt" 2>&1
expect_eq "the export says what it wrote" "Exported 2 comments to $T/comments.csv." "$(cat "$T/export.txt")"
OTHER="$T/other"
mkdir -p "$OTHER"
cp "$APP/tessel" "$OTHER/tessel"
sqlite3 "$OTHER/Tooltips.mdb" <"$ACC_SCHEMA"
"$OTHER/tessel" --import-comments "$T/comments.csv" >/dev/null 2>&1
"$OTHER/tessel" --import-comments "$T/comments.csv" >"$T/import.txt" 2>&1
expect_eq "a second import adds nothing" "Added 0 comments from $T/comments.csv, skipped 2 already there or empty." "$(cat "$T/import.txt")"
expect_eq "the other store holds the same rows" "$(sql "select hex(Path), hex(Tooltip) from tblTooltip order by rowid;")" \
    "$(sqlite3 -batch "$OTHER/Tooltips.mdb" "select hex(Path), hex(Tooltip) from tblTooltip order by rowid;")"
acc_finish
