#!/usr/bin/env bash
# Runs the layer check on small made-up source trees: a clean one must pass, and each
# kind of broken layer must fail with the file, line and folders named.
# Usage: check_layers_catches.sh path/to/check-layers.sh
set -u
check=$1
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
    printf 'tessel_library(tessel_side tessel_low)\n' >"$work/src/side/CMakeLists.txt"
    printf '#pragma once\n' >"$work/src/low/Low.h"
    printf '#include "Low.h"\n#include <QString>\n' >"$work/src/low/Low.cpp"
    printf '#pragma once\n#include "Low.h"\n' >"$work/src/mid/Mid.h"
    printf '#include "Mid.h"\n' >"$work/src/mid/Mid.cpp"
    printf '#pragma once\n' >"$work/src/top/Top.h"
    # Low.h through mid's link: a library may use what its links link.
    printf '#include "Top.h"\n#include "Mid.h"\n#include "Low.h"\n#include "top.moc"\n' >"$work/src/top/Top.cpp"
    printf '#pragma once\n#include "Low.h"\n' >"$work/src/side/Side.h"
}

# expect <exit code> <text the output must hold> <what the case is>
expect() {
    local output code
    output=$(bash "$check" "$work" 2>&1)
    code=$?
    if [[ $code -ne $1 || $output != *"$2"* ]]; then
        echo "FAIL: $3: exit $code, wanted $1 and output holding '$2'; output was:"
        echo "$output"
        failures=$((failures + 1))
    else
        echo "ok: $3"
    fi
}

make_tree
expect 0 "4 libraries" "a clean tree passes"

make_tree
printf '#include "Low.h"\n\n#include "Top.h"\n' >"$work/src/low/Low.cpp"
expect 1 "src/low/Low.cpp:3: src/low (tessel_low) includes Top.h from src/top (tessel_top)" \
    "the bottom including a header from the top fails"

make_tree
printf '#include "Mid.h"\n  #  include "Side.h"\n' >"$work/src/mid/Mid.cpp"
expect 1 "src/mid/Mid.cpp:2: src/mid (tessel_mid) includes Side.h from src/side (tessel_side)" \
    "including an unlinked neighbour fails"

make_tree
printf 'tessel_library(tessel_top tessel_mid tessel_side)\n' >"$work/src/top/CMakeLists.txt"
expect 1 "src/top/CMakeLists.txt: tessel_top links tessel_side (src/side), but no file in src/top includes its headers" \
    "a link nothing includes fails"

make_tree
printf 'tessel_library(tessel_top tessel_mid tessel_nowhere)\n' >"$work/src/top/CMakeLists.txt"
expect 1 "tessel_top links tessel_nowhere, which no folder under src/ defines" \
    "a link to no library fails"

make_tree
printf '#pragma once\n' >"$work/src/side/Mid.h"
expect 1 "Mid.h is also in" "one header name in two folders fails"

# A library that compiles in resources counts as used by one that loads ":/" paths.
make_tree
printf 'tessel_library(tessel_side tessel_low)\nqt_add_resources(tessel_side res FILES a.png)\n' \
    >"$work/src/side/CMakeLists.txt"
printf 'tessel_library(tessel_top tessel_mid tessel_side)\n' >"$work/src/top/CMakeLists.txt"
printf '#include "Top.h"\n#include "Mid.h"\nconst char* p = ":/a.png";\n' >"$work/src/top/Top.cpp"
expect 0 "4 libraries" "a link used only for compiled-in resources passes"

if ((failures)); then
    echo "$failures case(s) failed"
    exit 1
fi
