# shellcheck shell=bash disable=SC2034
# (The variables set here are read by the scenarios that source this file.)
#
# Helpers shared by the acceptance scenarios. Each scenario runs the real program in the
# X server that xvfb-run gives it, drives it with xdotool and judges it only by what a
# user can see: window captions, windows that come and go, screen pixels, and the files,
# settings and comment rows it leaves behind.
#
# A scenario sources this file with the program and the comment-table SQL as its two
# arguments, calls acc_init, and ends with acc_finish, which prints "N passed, M failed".

set -u

ACC_SOURCE_TESSEL=${1:?usage: <scenario> <path to tessel> <comment table sql>}
ACC_SCHEMA=${2:?usage: <scenario> <path to tessel> <comment table sql>}
ACC_PASSED=0
ACC_FAILED=0
ACC_PID=""
ACC_MAIN=""

# ---------------------------------------------------------------- set-up and teardown

# A private world for one scenario: its own home, settings, trash and runtime folders,
# and its own copy of the program beside an empty comment store, so the store next to
# the built program is never touched.
acc_init() {
    for tool in xdotool import convert compare sqlite3; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "FAIL: the tool '$tool' is missing (run scripts/setup.sh)"
            echo "0 passed, 1 failed"
            exit 1
        fi
    done
    [ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run the scenario under xvfb-run)"; echo "0 passed, 1 failed"; exit 1; }
    read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)

    T=$(cd "$(mktemp -d "${TMPDIR:-/tmp}/tessel-accept.XXXXXX")" && pwd -P)
    APP="$T/app"
    SHOTS="$T/shots"
    mkdir -p "$APP" "$SHOTS" "$T/home" "$T/config" "$T/data" "$T/runtime"
    chmod 700 "$T/runtime"
    cp "$ACC_SOURCE_TESSEL" "$APP/tessel"
    STORE="$APP/Tooltips.mdb"
    sqlite3 "$STORE" < "$ACC_SCHEMA"
    INI="$T/config/tessel.ini"
    TRASH="$T/data/Trash"

    export HOME="$T/home" XDG_CONFIG_HOME="$T/config" XDG_DATA_HOME="$T/data" XDG_RUNTIME_DIR="$T/runtime"
    # The program must draw in this X server, whatever platform the other tests run on.
    export QT_QPA_PLATFORM=xcb
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_STYLE_OVERRIDE WAYLAND_DISPLAY
    trap acc_cleanup EXIT
    # A scenario stopped from outside (a timeout) still ends its copy of the program.
    trap 'exit 143' TERM
    trap 'exit 130' INT
    echo "scenario folder: $T"
}

# Ends the program if it still runs, and removes the scenario's folder unless a check
# failed (ACC_KEEP=1 keeps it anyway, to look at the screenshots).
acc_cleanup() {
    if app_alive; then
        kill "$ACC_PID" 2>/dev/null
        poll 5 app_gone || kill -9 "$ACC_PID" 2>/dev/null
    fi
    [ -n "$ACC_PID" ] && wait "$ACC_PID" 2>/dev/null
    ACC_PID=""
    [ -n "${T:-}" ] && [ -d "$T" ] || return 0
    if [ "$ACC_FAILED" -eq 0 ] && [ -z "${ACC_KEEP:-}" ]; then
        rm -rf "$T"
    else
        echo "kept for inspection: $T (screenshots in $SHOTS, program output in $T/tessel.log)"
    fi
}

# Cleans up, prints the summary as the last line and leaves with the verdict.
acc_finish() {
    acc_cleanup
    trap - EXIT
    echo "$ACC_PASSED passed, $ACC_FAILED failed"
    [ "$ACC_FAILED" -eq 0 ]
    exit $?
}

# ---------------------------------------------------------------- verdicts

pass() { ACC_PASSED=$((ACC_PASSED + 1)); echo "PASS: $1"; }
fail() {
    ACC_FAILED=$((ACC_FAILED + 1))
    echo "FAIL: $1${2:+ -- $2}"
    if [ -n "${T:-}" ] && command -v import >/dev/null; then
        import -window root "$SHOTS/failure-$ACC_FAILED.png" 2>/dev/null
    fi
}
# check DESCRIPTION COMMAND...: passes when the command succeeds.
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
expect_eq() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected [$2], got [$3]"; fi
}

# poll SECONDS COMMAND...: runs the command every tenth of a second until it succeeds
# or the time is up.
poll() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# ---------------------------------------------------------------- the program

# start_app [FOLDER [ARGUMENT...]]: starts the private copy with FOLDER (default the
# scenario folder) as its working folder and the arguments on its command line, and waits
# for the main window. A program given a picture may caption its window with the picture
# before it is found: set ACC_MAIN_TITLE to a pattern that matches that caption as well.
# The main window is given the keyboard once found, which under a window manager also
# raises it; ACC_START_FOCUS=0 leaves the windows as the program stacked them (a viewer
# it opened at start stays in front).
ACC_MAIN_TITLE='^Tessel Image Explorer$'
ACC_START_FOCUS=1
start_app() {
    local cwd=${1:-$T}
    [ $# -gt 0 ] && shift
    for _ in 1 2; do
        (cd "$cwd" && exec "$APP/tessel" "$@" >>"$T/tessel.log" 2>&1) &
        ACC_PID=$!
        if ACC_MAIN=$(poll 20 main_window_or_exit && visible_windows "$ACC_MAIN_TITLE" | head -n 1) &&
            [ -n "$ACC_MAIN" ]; then
            # Give the freshly mapped window a moment to settle before the first input.
            [ "$ACC_START_FOCUS" = 1 ] && xdotool windowfocus --sync "$ACC_MAIN" 2>/dev/null
            sleep 0.3
            return 0
        fi
        # A program that could not reach the X server at once (seen once on a loaded
        # machine) gets one more chance; one that fails twice is reported.
        app_gone || break
        wait "$ACC_PID" 2>/dev/null
        echo "NOTE: the program ended before showing its window (see $T/tessel.log)"
    done
    fail "the main window appears after start"
    return 1
}
main_window_or_exit() { has_window "$ACC_MAIN_TITLE" || app_gone; }

app_alive() { [ -n "$ACC_PID" ] && kill -0 "$ACC_PID" 2>/dev/null; }
app_gone() { ! app_alive; }

# Exit through the File menu, with the keyboard, and wait for the process to end.
exit_by_menu() {
    menu f x && poll 15 app_gone
}

# ---------------------------------------------------------------- windows

# Prints the ids of the visible windows whose name matches the regular expression.
visible_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
has_window() { [ -n "$(visible_windows "$1")" ]; }
no_window() { ! has_window "$1"; }

# wait_window REGEX [SECONDS]: prints the id of the first visible window with that name.
wait_window() {
    poll "${2:-10}" has_window "$1" || return 1
    visible_windows "$1" | head -n 1
}
wait_no_window() { poll "${2:-10}" no_window "$1"; }

# wait_other_window REGEX OLD_ID [SECONDS]: prints the id of a visible window with that
# name other than OLD_ID: a box that takes the place of a prompt with the same title.
other_window() { visible_windows "$1" | grep -vx "$2" | head -n 1; }
has_other_window() { [ -n "$(other_window "$1" "$2")" ]; }
wait_other_window() {
    poll "${3:-10}" has_other_window "$1" "$2" || return 1
    other_window "$1" "$2"
}

# Windows without a title of their own (the viewer, popup menus, tooltips) carry no
# WM_NAME that a search by name could match; they are found by the program's class.
app_windows() { xdotool search --onlyvisible --classname '^tessel$' 2>/dev/null; }

# The full-screen viewer: the program's visible window that covers the whole screen.
viewer() {
    local id
    for id in $(app_windows); do
        geometry "$id"
        [ "$GX" -eq 0 ] && [ "$GY" -eq 0 ] && [ "$GW" -eq "$SCREEN_W" ] && [ "$GH" -eq "$SCREEN_H" ] &&
            { echo "$id"; return 0; }
    done
    return 1
}
has_viewer() { viewer >/dev/null; }
no_viewer() { ! has_viewer; }

# Popup menus, tooltips and boxes: the program's visible windows other than the main
# window and the viewer.
small_windows() {
    local id
    for id in $(app_windows); do
        [ "$id" = "$ACC_MAIN" ] && continue
        geometry "$id"
        [ "$GW" -lt "$SCREEN_W" ] && echo "$id"
    done
}
no_small_windows() { [ -z "$(small_windows)" ]; }

caption() { xdotool getwindowname "$ACC_MAIN" 2>/dev/null; }
caption_is() { [ "$(caption)" = "$1" ]; }
# check_caption DESCRIPTION EXPECTED: waits for the main window's caption to become EXPECTED.
check_caption() {
    if poll 8 caption_is "$2"; then pass "$1"; else fail "$1" "caption [$(caption)], expected [$2]"; fi
}
# The caption the main window shows for an image: path, then its size in pixels.
caption_for() { printf '%s   - Height = %s  Width = %s' "$1" "$2" "$3"; }

# geometry WINDOW: sets GX GY GW GH to the window's place and size on the screen.
# (xwininfo: under a reparenting window manager xdotool counts the frame's offset twice.)
geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null)
    GX=$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")
    GY=$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")
    GW=$(sed -n 's/^ *Width: *//p' <<<"$info")
    GH=$(sed -n 's/^ *Height: *//p' <<<"$info")
    GX=${GX:-0} GY=${GY:-0} GW=${GW:-0} GH=${GH:-0}
}

# focus WINDOW: gives the window the keyboard (there is no window manager to do it).
focus() { xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.2; }

# Gives the main window the keyboard and rests the pointer over its folder list, away
# from the preview (whose tooltip would pop up) and from the file list.
focus_main() {
    geometry "$ACC_MAIN"
    xdotool mousemove $((GX + GW / 4)) $((GY + GH * 30 / 100))
    focus "$ACC_MAIN"
}

key() { xdotool key --delay 80 "$@"; }
type_text() { xdotool type --delay 40 "$1"; }

# Every visible window, titled or not (ids, one a line).
all_visible() { xdotool search --onlyvisible --name '.*' 2>/dev/null; }
# Windows that are visible now but were not in the list BEFORE.
new_windows() {
    local before=$1 id
    for id in $(all_visible); do
        grep -qx "$id" <<<"$before" || echo "$id"
    done
}
# wait_new_window BEFORE [SECONDS]: prints the id of a window that appeared since BEFORE.
has_new_window() { [ -n "$(new_windows "$1")" ]; }
wait_new_window() {
    poll "${2:-5}" has_new_window "$1" || return 1
    new_windows "$1" | head -n 1
}

# menu ALT_KEY ITEM_KEY: opens a menu of the main window's menu bar with Alt and its
# access key, waits for it to drop down, then chooses the item by its access key.
menu() {
    focus_main
    local before
    before=$(all_visible)
    key "alt+$1"
    if ! wait_new_window "$before" >/dev/null; then
        fail "the menu of Alt+$1 opens"
        return 1
    fi
    key "$2"
}

# ---------------------------------------------------------------- the file list

# Clicks an empty part of the file list, which gives it the keyboard without choosing a
# file, so that Down then selects the first one.
click_file_list() {
    geometry "$ACC_MAIN"
    xdotool mousemove $((GX + GW * 3 / 4)) $((GY + GH * 85 / 100)) click 1
    sleep 0.2
}

# Finds the rows of the file list on the screen from the highlight of the selected
# entry: sets ROW_TOP (its first screen line) and ROW_H (its height). The column looked
# at lies right of every name, where only the highlight is coloured.
measure_selected_row() {
    geometry "$ACC_MAIN"
    local shot="$SHOTS/rows.png" x=$((GX + GW * 90 / 100))
    import -window root "$shot"
    read -r ROW_TOP ROW_H < <(convert "$shot" -crop "1x$((GH / 2))+$x+$GY" +repage -depth 8 txt:- |
        awk -F'[(,)]' -v y0="$GY" '
            # Lines read "0,Y: (R,G,B) ..."; the first, a comment, has no colour.
            /^#/ { next }
            { y = $2 + 0; blue = ($5 > $3 + 50)
              if (blue && first == "") first = y
              if (blue && (last == "" || last == y - 1)) last = y }
            END { if (first != "") print y0 + first, last - first + 1 }')
    [ -n "${ROW_TOP:-}" ] && [ "${ROW_H:-0}" -gt 4 ]
}
# row_y N: the screen line through the middle of the file list's row N, counted from 0
# at the row that measure_selected_row found.
row_y() { echo $((ROW_TOP + $1 * ROW_H + ROW_H / 2)); }
row_x() { geometry "$ACC_MAIN"; echo $((GX + GW * 70 / 100)); }

# ---------------------------------------------------------------- pictures and pixels

# comment_pictures: PICS=$T/pics holding a.jpg (red) and b.jpg (blue), where the program
# starts, and PROMPT, the title of the comment prompt.
comment_pictures() {
    PICS="$T/pics"
    mkdir -p "$PICS"
    make_image "$PICS/a.jpg" 640x480 red
    make_image "$PICS/b.jpg" 640x480 blue
    printf '[Startup]\nlastDir=%s\n' "$PICS" >"$INI"
    PROMPT='^Images Browser and Viewer$'
}

# make_image FILE WIDTHxHEIGHT COLOUR: a plain picture with a yellow band along its top
# and a magenta band along its bottom, each a twelfth of its height, so that a picture
# moved up or down shows it in the screen's corners.
make_image() {
    local file=$1 size=$2 colour=$3 w h band fmt=""
    w=${size%x*}
    h=${size#*x}
    band=$((h / 12))
    case "$file" in
        *.bmp | *.BMP | *.dib | *.DIB) fmt="BMP3:" ;;
        *.jpg | *.JPG) fmt="JPEG:" ;;
        *.gif | *.GIF) fmt="GIF:" ;;
    esac
    convert -size "$size" "xc:$colour" \
        -fill yellow -draw "rectangle 0,0 $((w - 1)),$((band - 1))" \
        -fill magenta -draw "rectangle 0,$((h - band)) $((w - 1)),$((h - 1))" \
        "$fmt$file"
}

# screenshot NAME: the whole screen into the scenario's folder; prints the file.
screenshot() { local f="$SHOTS/$1.png"; import -window root "$f" && echo "$f"; }

# colour_at PNG X Y: prints "R G B" (0 to 255) of one pixel.
colour_at() {
    convert "$1" -format '%[fx:round(255*p{'"$2,$3"'}.r)] %[fx:round(255*p{'"$2,$3"'}.g)] %[fx:round(255*p{'"$2,$3"'}.b)]' info:
}
# colour_near PNG X Y R G B: whether the pixel is within 40 of that colour in each
# channel (JPEG pictures are not exact).
colour_near() {
    local r g b
    read -r r g b < <(colour_at "$1" "$2" "$3")
    [ "${r:-999}" -ge $(($4 - 40)) ] && [ "$r" -le $(($4 + 40)) ] &&
        [ "$g" -ge $(($5 - 40)) ] && [ "$g" -le $(($5 + 40)) ] &&
        [ "$b" -ge $(($6 - 40)) ] && [ "$b" -le $(($6 + 40)) ]
}
# check_colour DESCRIPTION PNG X Y R G B
check_colour() {
    if colour_near "$2" "$3" "$4" "$5" "$6" "$7"; then
        pass "$1"
    else
        fail "$1" "pixel ($3,$4) of $(basename "$2") is [$(colour_at "$2" "$3" "$4")], expected near [$5 $6 $7]"
    fi
}
colour_rgb() {
    case $1 in
        black) echo 0 0 0 ;;     white) echo 255 255 255 ;;
        red) echo 255 0 0 ;;     lime) echo 0 255 0 ;;       blue) echo 0 0 255 ;;
        yellow) echo 255 255 0 ;; magenta) echo 255 0 255 ;; cyan) echo 0 255 255 ;;
        orange) echo 255 165 0 ;;
        *) echo "unknown colour $1" >&2; echo -1 -1 -1 ;;
    esac
}
# screen_shows NAME "X Y COLOUR"...: takes the screenshot NAME and tells whether it
# shows each colour at its point; the screenshot stays in LAST_SHOT.
screen_shows() {
    local name=$1 point x y c
    shift
    LAST_SHOT=$(screenshot "$name")
    for point; do
        read -r x y c <<<"$point"
        # shellcheck disable=SC2046 # three numbers, split on purpose
        colour_near "$LAST_SHOT" "$x" "$y" $(colour_rgb "$c") || return 1
    done
}
# expect_screen NAME "X Y COLOUR"...: waits a few seconds for the screen to show all of
# them (a repaint follows the caption), then reports each point.
expect_screen() {
    local name=$1 point x y c
    shift
    poll 6 screen_shows "$name" "$@"
    for point; do
        read -r x y c <<<"$point"
        # shellcheck disable=SC2046 # three numbers, split on purpose
        check_colour "$name: ($x,$y) is $c" "$LAST_SHOT" "$x" "$y" $(colour_rgb "$c")
    done
}

# ---------------------------------------------------------------- comments

sql() { sqlite3 -batch "$STORE" "$1"; }
rows_for() { sql "select count(*) from tblTooltip where Path = '$1';"; }
