#!/usr/bin/env bash
# The installed program: `cmake --install` into a private prefix, then the copy there is
# started with a private home, on a picture named on its command line. It captions the
# window as a click would (also when the desktop's opener starts it), makes the user's own comment store from the installed empty
# one on first start, keeps comments in it across restarts, shows a picture full screen
# when asked (or when the list's pattern leaves it out), and starts as usual after saying
# that a path does not exist. A pattern in the settings lists other types (PNG, WebP).
source "$(dirname "$0")/lib.sh"
acc_init

BUILD=$(dirname "$ACC_SOURCE_TESSEL")
PREFIX="$T/usr"
if cmake --install "$BUILD" --prefix "$PREFIX" >"$T/install.log" 2>&1; then
    pass "cmake --install into a private prefix"
else
    fail "cmake --install into a private prefix" "$(tail -n 3 "$T/install.log")"
    acc_finish
fi
ID=io.github.tessel.ImageExplorer
check "the desktop entry is installed" test -f "$PREFIX/share/applications/$ID.desktop"
check "the metainfo is installed" test -f "$PREFIX/share/metainfo/$ID.metainfo.xml"
check "the 48x48 icon is a 48x48 PNG" \
    test "$(identify -format '%m %wx%h' "$PREFIX/share/icons/hicolor/48x48/apps/$ID.png" 2>/dev/null)" = "PNG 48x48"
check "the empty store is installed" test -f "$PREFIX/share/tessel/Tooltips.mdb"
check "no store beside the installed program" test ! -e "$PREFIX/bin/Tooltips.mdb"

# From here on the program is the installed one; its store is the user's own.
APP="$PREFIX/bin"
STORE="$XDG_DATA_HOME/tessel/Tooltips.mdb"
PICS="$T/pics"
mkdir -p "$PICS"
make_image "$PICS/a.jpg" 640x480 red
make_image "$PICS/b.bmp" 80x60 blue
convert -size 320x200 xc:lime "PNG:$PICS/c.png"
PROMPT='^Images Browser and Viewer$'
# A picture on the command line may caption the window before start_app looks for it.
ACC_MAIN_TITLE='^Tessel Image Explorer$|   - Height = '

check "no user store before the first start" test ! -e "$STORE"
# A relative path, as a terminal user types it.
start_app "$PICS" b.bmp || acc_finish
check_caption "tessel FILE selects the file as a click does" "$(caption_for "$PICS/b.bmp" 60 80)"
check "the first start made the user's store" poll 5 test -f "$STORE"
expect_eq "the user's store is the empty one" "0" "$(sql 'select count(*) from tblTooltip;' 2>&1)"
inode=$(stat -c %i "$STORE" 2>/dev/null)

if menu t n; then
    p=$(wait_window "$PROMPT" 5) && focus "$p" && type_text "Blue hour" && key Return
    wait_no_window "$PROMPT" 5 || fail "the prompt closes"
fi
expect_eq "the comment is stored in the user's store" "$PICS/b.bmp|Blue hour" \
    "$(sql "select Path || '|' || Tooltip from tblTooltip;")"
check "Exit ends the program" exit_by_menu

# --- restart: the same store, the comment still there and shown
start_app "$PICS" "$PICS/b.bmp" || acc_finish
check_caption "restart on the file" "$(caption_for "$PICS/b.bmp" 60 80)"
expect_eq "the store was kept, not made again" "$inode" "$(stat -c %i "$STORE" 2>/dev/null)"
focus_main
poll 5 no_small_windows
before=$(all_visible)
geometry "$ACC_MAIN"
xdotool mousemove $((GX + GW / 4)) $((GY + GH * 3 / 4))
sleep 0.1
xdotool mousemove $((GX + GW / 4 + 4)) $((GY + GH * 3 / 4 + 4))
check "the comment shows as the preview's tooltip after the restart" wait_new_window "$before" 5
expect_eq "the comment is kept across the restart" "$PICS/b.bmp|Blue hour" \
    "$(sql "select Path || '|' || Tooltip from tblTooltip;")"
check "Exit ends the program again" exit_by_menu
check "the folder of the file is kept as the last folder" grep -qx "lastDir=$PICS" "$INI"

# --- opened from the desktop: with the entry as the default for JPEG, the desktop's opener
# (gio open, which xdg-open uses outside a named desktop) starts the installed program on
# the file through the entry's Exec line
if command -v gio >/dev/null; then
    printf '[Default Applications]\nimage/jpeg=%s.desktop\n' "$ID" >"$XDG_CONFIG_HOME/mimeapps.list"
    (cd "$T" && PATH="$PREFIX/bin:$PATH" XDG_DATA_DIRS="$PREFIX/share:/usr/share" \
        exec gio open "$PICS/a.jpg" >>"$T/tessel.log" 2>&1)
    if ACC_MAIN=$(wait_window '   - Height = ' 20); then
        ACC_PID=$(xdotool getwindowpid "$ACC_MAIN" 2>/dev/null)
        check_caption "the desktop's opener starts it on the file" "$(caption_for "$PICS/a.jpg" 480 640)"
        check "Exit ends the program started by the desktop" exit_by_menu
    else
        fail "the desktop's opener starts it on the file"
    fi
    rm -f "$XDG_CONFIG_HOME/mimeapps.list"
else
    fail "gio is missing (scripts/setup.sh --test installs it)"
fi

# --- --full-screen FILE: the viewer on it, the browser behind with its caption. The
# windows are left as the program stacked them: the viewer must be in front by itself.
ACC_START_FOCUS=0
start_app "$T" --full-screen "$PICS/a.jpg" || acc_finish
check "--full-screen shows the viewer" poll 10 has_viewer
check_caption "the browser behind has the file selected" "$(caption_for "$PICS/a.jpg" 480 640)"
expect_screen "full-screen-a" "$((SCREEN_W / 2)) $((SCREEN_H / 2)) red"
kill "$ACC_PID"
poll 10 app_gone

# --- a file the list's pattern leaves out: its folder opens and the viewer shows it
start_app "$T" "$PICS/c.png" || acc_finish
check "a file outside the pattern opens in the viewer" poll 10 has_viewer
expect_screen "full-screen-c" "$((SCREEN_W / 2)) $((SCREEN_H / 2)) lime"
kill "$ACC_PID"
poll 10 app_gone
ACC_START_FOCUS=1

# --- a path that is not there: said, then a start as without one
start_app "$T" "$T/nowhere.jpg" || acc_finish
check "the missing path is said on standard error" grep -q "nowhere.jpg: no such file or folder" "$T/tessel.log"
expect_eq "the window starts without a picture" "Tessel Image Explorer" "$(caption)"
click_file_list
key Down
check_caption "the last folder is open" "$(caption_for "$PICS/a.jpg" 480 640)"
check "Exit ends the program once more" exit_by_menu

# --- tessel FOLDER, with more types listed in the settings: the list shows them, and the
# preview reads WebP and PNG as it reads the others
convert -size 120x90 xc:cyan "WEBP:$PICS/d.webp"
sed -i '/^\[Browser\]/,$d' "$INI"
printf '[Browser]\npattern="*.png;*.webp"\n' >>"$INI"
start_app "$T" "$PICS" || acc_finish
click_file_list
key Down
check_caption "the listed PNG is first in the folder given" "$(caption_for "$PICS/c.png" 200 320)"
key Down
check_caption "the listed WebP follows it" "$(caption_for "$PICS/d.webp" 90 120)"
key Down
sleep 0.5
check_caption "the pattern leaves out the JPEG and the BMP" "$(caption_for "$PICS/d.webp" 90 120)"
check "Exit ends the program after the folder" exit_by_menu

# --- options that end at once
"$APP/tessel" --bogus >"$T/out.txt" 2>"$T/err.txt"
expect_eq "an unknown option exits with 2" 2 "$?"
check "an unknown option prints the usage on standard error" grep -q '^Usage: tessel \[options\] \[path\]' "$T/err.txt"
"$APP/tessel" --version >"$T/out.txt" 2>"$T/err.txt"
expect_eq "--version exits with 0" 0 "$?"
check "--version prints the program and its version" grep -qE '^tessel [0-9]+\.[0-9]+' "$T/out.txt"
# From a terminal without any display: --help and --version still answer, and an unknown
# option is still refused with the usage, rather than the program failing to start.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$APP/tessel" --help >"$T/out.txt" 2>"$T/err.txt"
expect_eq "--help without a display exits with 0" 0 "$?"
check "--help without a display prints the usage" grep -q '^Usage: tessel \[options\] \[path\]' "$T/out.txt"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$APP/tessel" --bogus >"$T/out.txt" 2>"$T/err.txt"
expect_eq "an unknown option without a display exits with 2" 2 "$?"

acc_finish
