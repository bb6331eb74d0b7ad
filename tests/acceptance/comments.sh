#!/usr/bin/env bash
# Comments from the Tooltip menu: add one through the prompt, see it as the preview's
# tooltip, edit it (the prompt offers the old text), delete it; cancelled or empty
# answers store nothing; an image without a comment offers nothing to edit or delete.
source "$(dirname "$0")/lib.sh"
acc_init

comment_pictures

# hover_preview [SECONDS]: rests the pointer on the preview and waits for a tooltip;
# sets TIP_W to its width.
hover_preview() {
    focus_main
    poll 5 no_small_windows
    local before tip
    before=$(all_visible)
    geometry "$ACC_MAIN"
    xdotool mousemove $((GX + GW / 4)) $((GY + GH * 3 / 4))
    sleep 0.1
    xdotool mousemove $((GX + GW / 4 + 4)) $((GY + GH * 3 / 4 + 4))
    tip=$(wait_new_window "$before" "${1:-5}") || return 1
    geometry "$tip"
    TIP_W=$GW
    screenshot "tooltip-$(date +%s%N)" >/dev/null
}
# answer_prompt TEXT: types into the open prompt and confirms it.
answer_prompt() {
    local p
    p=$(wait_window "$PROMPT" 5) || { fail "the prompt appears"; return 1; }
    focus "$p"
    [ -n "$1" ] && type_text "$1"
    key Return
    wait_no_window "$PROMPT" 5 || fail "the prompt closes"
}
rows() { sql "select Path || '|' || Tooltip from tblTooltip order by rowid;"; }

start_app "$T" || acc_finish
click_file_list
key Down
check_caption "a.jpg selected" "$(caption_for "$PICS/a.jpg" 480 640)"

menu t n && answer_prompt "Sunset at the pier"
expect_eq "New Tooltip stores one row for the current image" "$PICS/a.jpg|Sunset at the pier" "$(rows)"
if hover_preview; then pass "the comment shows as the preview's tooltip"; W1=$TIP_W; else fail "the comment shows as the preview's tooltip"; W1=0; fi

# Cancelled and empty answers store nothing.
if menu t n; then
    p=$(wait_window "$PROMPT" 5) && focus "$p" && type_text "never stored" && key Escape
    wait_no_window "$PROMPT" 5 || fail "Escape closes the prompt"
fi
menu t n && answer_prompt ""
expect_eq "Cancel and an empty answer add no row" "$PICS/a.jpg|Sunset at the pier" "$(rows)"

# Edit: the prompt starts with the old text; appending to it proves that.
if menu t e; then
    p=$(wait_window "$PROMPT" 5) && focus "$p" && key End && type_text ", August, long lens" && key Return
    wait_no_window "$PROMPT" 5 || fail "the edit prompt closes"
fi
expect_eq "Edit changes the one row" "$PICS/a.jpg|Sunset at the pier, August, long lens" "$(rows)"
focus_main
key Down Up
check_caption "a.jpg selected again" "$(caption_for "$PICS/a.jpg" 480 640)"
if hover_preview && [ "$TIP_W" -gt "$W1" ]; then
    pass "the tooltip shows the longer, edited comment"
else
    fail "the tooltip shows the longer, edited comment" "width ${TIP_W:-none} after, $W1 before"
fi

# An image without a comment: no tooltip, and Edit and Delete do nothing.
focus_main
key Down
check_caption "b.jpg selected" "$(caption_for "$PICS/b.jpg" 480 640)"
if hover_preview 3; then fail "no tooltip for an image without a comment"; else pass "no tooltip for an image without a comment"; fi
menu t e
sleep 1.5
check "Edit on an image without a comment shows no prompt" no_window "$PROMPT"
menu t d
sleep 0.5
expect_eq "Delete on an image without a comment keeps the other row" "$PICS/a.jpg|Sunset at the pier, August, long lens" "$(rows)"

# Blanks around a comment are kept.
menu t n && answer_prompt "  spaced out  "
expect_eq "a comment keeps its blanks" "'  spaced out  '" "$(sql "select quote(Tooltip) from tblTooltip where Path = '$PICS/b.jpg';")"

# Delete on a.jpg removes its row only, and its tooltip goes.
focus_main
key Up
check_caption "a.jpg selected for deleting" "$(caption_for "$PICS/a.jpg" 480 640)"
menu t d
sleep 0.5
expect_eq "Delete removes the current image's row" "0" "$(rows_for "$PICS/a.jpg")"
expect_eq "the other image's comment stays" "1" "$(rows_for "$PICS/b.jpg")"
if hover_preview 3; then fail "no tooltip after Delete"; else pass "no tooltip after Delete"; fi

check "Exit ends the program" exit_by_menu
acc_finish
