#!/usr/bin/env bash
# Runs the layer check on small made-up source trees: a clean one must pass, and each
# kind of broken layer, link or README row must fail with the place named.
# Usage: check_layers_catches.sh path/to/check-layers.sh QT-HEADERS-DIR
set -u
check=$1
qt_headers=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Three libraries stacked low < mid < top, and side beside mid on top of low.
make_tree() {
    rm -rf "$work/src"
    mkdir -p "$work/src/low" "$work/src/mid" "$work/src/top" "$work/src/side"
    printf '# bottom\ntessel_library(tessel_low Qt6::Core)\n' >"$work/src/low/CMakeLists.txt"
    # A call over two lines, with a comment naming a library it does not link.
    printf '# not tessel_side\ntessel_library(tessel_mid\n  tessel_low)\n' >"$work/src/mid/CMakeLists.txt"
    printf 'tessel_library(tessel_top tessel_mid Qt6::Widgets)\n' >"$work/src/top/CMakeLists.txt"
    printf '| folder | holds | talks to | may use |\n|---|---|---|---|\n' >"$work/README.md"
    printf '| `src/low` | bottom | Qt Core | nothing |\n' >>"$work/README.md"
    printf '| `src/mid` | middle | nothing | low |\n' >>"$work/README.md"
    printf '| `src/top` | top | Qt Widgets | mid (and low through it) |\n' >>"$work/README.md"
    printf '| `src/side` | beside | nothing | low |\n' >>"$work/README.md"
    printf '| `src/main.cpp` | not a library | Linux | top |\n' >>"$work/README.md"
    printf 'tessel_library(tessel_side tessel_low)\n' >"$work/src/side/CMakeLists.txt"
    printf '#pragma once\n' >"$work/src/low/Low.h"
    printf '#include "Low.h"\n#include <QString>\n' >"$work/src/low/Low.cpp"
    printf '#pragma once\n#include "Low.h"\n' >"$work/src/mid/Mid.h"
    printf '#include "Mid.h"\n' >"$work/src/mid/Mid.cpp"
    printf '#pragma once\n' >"$work/src/top/Top.h"
    # Low.h through mid's link: a library may use what its links link.
    printf '#include "Top.h"\n#include "Mid.h"\n#include "Low.h"\n#include "top.moc"\n#include <QWidget>\n#include <vector>\n' \
        >"$work/src/top/Top.cpp"
    printf '#pragma once\n#include "Low.h"\n' >"$work/src/side/Side.h"
}

# expect <exit code> <text the output must hold> <what the case is>
expect() {
    local output code
    output=$(bash "$check" --qt-headers "$qt_headers" "$work" 2>&1)
    code=$?
    # A broken tree must show that one fault, not others it does not have.
    if [[ $code -ne $1 || $output != *"$2"* || ($1 -ne 0 && $output != *"check-layers: 1 finding(s)"*) ]]; then
        echo "FAIL: $3: exit $code, wanted $1 and output holding '$2' (one finding); output was:"
        echo "$output"
        failures=$((failures + 1))
    else
        echo "ok: $3"
    fi
}

make_tree
expect 0 "4 libraries" "a clean tree passes"

make_tree
printf '#include "Low.h"\n#include <QString>\n#include "Top.h"\n' >"$work/src/low/Low.cpp"
expect 1 "src/low/Low.cpp:3: src/low (tessel_low) includes Top.h from src/top (tessel_top)" \
    "the bottom including a header from the top fails"

make_tree
printf '#include "Mid.h"\n  #  include "Side.h"\n' >"$work/src/mid/Mid.cpp"
expect 1 "src/mid/Mid.cpp:2: src/mid (tessel_mid) includes Side.h from src/side (tessel_side)" \
    "including an unlinked neighbour fails"

make_tree
printf 'tessel_library(tessel_top tessel_mid tessel_side Qt6::Widgets)\n' >"$work/src/top/CMakeLists.txt"
sed -i 's/| mid (and low through it) |/| mid, side |/' "$work/README.md"
expect 1 "src/top/CMakeLists.txt: tessel_top links tessel_side (src/side), but no file in src/top includes its headers" \
    "a link nothing includes fails"

make_tree
printf 'tessel_library(tessel_top tessel_mid tessel_nowhere Qt6::Widgets)\n' >"$work/src/top/CMakeLists.txt"
expect 1 "tessel_top links tessel_nowhere, which no folder under src/ defines" \
    "a link to no library fails"

make_tree
printf '#pragma once\n' | tee "$work/src/top/Extra.h" >"$work/src/side/Extra.h"
expect 1 "src/top/Extra.h: Extra.h is also in src/side" "one header name in two folders fails"

make_tree
printf '#include "Mid.h"\n#include <QLabel>\n' >"$work/src/mid/Mid.cpp"
sed -i 's/| `src\/mid` | middle | nothing | low |/| `src\/mid` | middle | Qt Widgets | low |/' "$work/README.md"
expect 1 "src/mid/CMakeLists.txt: files in src/mid include Widgets headers, but tessel_mid does not link it" \
    "a Qt module included but not linked fails"

make_tree
printf 'tessel_library(tessel_side tessel_low Qt6::Sql)\n' >"$work/src/side/CMakeLists.txt"
expect 1 "tessel_side links Qt6::Sql, but no file in src/side includes its headers" \
    "a Qt module linked but not included fails"

make_tree
printf '#include "Mid.h"\n#include <sys/stat.h>\n' >"$work/src/mid/Mid.cpp"
expect 1 "README.md:4: src/mid includes Linux headers, but its \"talks to\" cell does not say Linux" \
    "a README row hiding what its folder talks to fails"

make_tree
sed -i 's/| `src\/side` | beside | nothing | low |/| `src\/side` | beside | Linux | low |/' "$work/README.md"
expect 1 "README.md:6: src/side's \"talks to\" cell names Linux, which no file in src/side includes" \
    "a README row claiming what its folder does not talk to fails"

make_tree
sed -i 's/| `src\/mid` | middle | nothing | low |/| `src\/mid` | middle | nothing | low, side |/' "$work/README.md"
expect 1 "README.md:4: src/mid's \"may use\" cell names 'side', which tessel_mid does not link" \
    "a README row naming a library not linked fails"

make_tree
sed -i 's/| `src\/mid` | middle | nothing | low |/| `src\/mid` | middle | nothing | nothing |/' "$work/README.md"
expect 1 "tessel_mid links tessel_low, but src/mid's \"may use\" cell does not name it" \
    "a README row leaving out a link fails"

make_tree
sed -i '/`src\/side`/d' "$work/README.md"
expect 1 "README.md: no row for src/side in the folder table" "a library without a README row fails"

# A library that compiles in resources counts as used by one that loads ":/" paths.
make_tree
printf 'tessel_library(tessel_side tessel_low)\nqt_add_resources(tessel_side res FILES a.png)\n' \
    >"$work/src/side/CMakeLists.txt"
printf 'tessel_library(tessel_top tessel_mid tessel_side Qt6::Widgets)\n' >"$work/src/top/CMakeLists.txt"
printf '#include "Top.h"\n#include "Mid.h"\n#include <QWidget>\nconst char* p = ":/a.png";\n' >"$work/src/top/Top.cpp"
printf '| `src/top` | top | Qt Widgets | mid, side (its resources) |\n' >>"$work/README.md"
sed -i '/`src\/top` | top | Qt Widgets | mid (and/d' "$work/README.md"
expect 0 "4 libraries" "a link used only for compiled-in resources passes"

if ((failures)); then
    echo "$failures case(s) failed"
    exit 1
fi
