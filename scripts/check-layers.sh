#!/usr/bin/env bash
# Keeps the library layers under src/ what their CMakeLists say they are.
#
# Every folder whose CMakeLists.txt calls `tessel_library(name deps...)` is one library.
# Each `#include "X.h"` in its files is resolved to the folder that holds X.h; the check
# fails when that folder's library is not among the library's dependencies (followed
# transitively), so a header of a library above it, or beside it and unlinked, cannot
# creep in. It also fails when a library links a tessel_ library that none of its files
# include: link what you use, use what you link. A library whose CMakeLists compiles in
# Qt resources also counts as used by a linking library whose sources load ":/..." paths.
#
# Usage: scripts/check-layers.sh [source-root]     (exit 0 clean, 1 on any finding)
#        scripts/check-layers.sh --graph [source-root]   prints each library's links
set -u
shopt -s nullglob

graph=0
if [[ ${1-} == --graph ]]; then
    graph=1
    shift
fi
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root" || exit 2

declare -A lib_of_dir dir_of_lib deps_of_lib dir_of_header has_resources
failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

# Libraries and their declared tessel_ dependencies.
while IFS= read -r cmake; do
    dir=${cmake%/CMakeLists.txt}
    # Comments dropped and lines joined, so a call may span lines.
    call=$(sed 's/#.*//' "$cmake" | tr '\n' ' ' | grep -o 'tessel_library([^)]*)' | head -n1)
    [[ -n $call ]] || continue
    read -r -a words <<<"${call#tessel_library(}"
    words[-1]=${words[-1]%)}
    name=${words[0]}
    deps=""
    for word in "${words[@]:1}"; do
        word=${word%)}
        [[ $word == tessel_* ]] && deps+=" $word"
    done
    lib_of_dir[$dir]=$name
    dir_of_lib[$name]=$dir
    deps_of_lib[$name]=$deps
    grep -q 'qt_add_resources' "$cmake" && has_resources[$name]=1
done < <(find src -name CMakeLists.txt | sort)

if ((${#lib_of_dir[@]} == 0)); then
    echo "check-layers: no tessel_library() under $root/src"
    exit 2
fi

for name in "${!deps_of_lib[@]}"; do
    for dep in ${deps_of_lib[$name]}; do
        [[ -n ${dir_of_lib[$dep]-} ]] ||
            fail "${dir_of_lib[$name]}/CMakeLists.txt: $name links $dep, which no folder under src/ defines"
    done
done

# Every header under src/ by file name: the include directories are the folders themselves,
# so one name in two folders would be ambiguous.
while IFS= read -r header; do
    base=${header##*/}
    if [[ -n ${dir_of_header[$base]-} ]]; then
        fail "$header: $base is also in ${dir_of_header[$base]}; an include of it is ambiguous"
    fi
    dir_of_header[$base]=${header%/*}
done < <(find src -name '*.h' | sort)

# The libraries `name` may use: itself and everything it links, followed down.
reachable() {
    local -A seen=()
    local stack=("$1") lib
    while ((${#stack[@]})); do
        lib=${stack[-1]}
        unset 'stack[-1]'
        [[ -n ${seen[$lib]-} ]] && continue
        seen[$lib]=1
        stack+=(${deps_of_lib[$lib]-})
    done
    echo "${!seen[@]}"
}

for dir in $(printf '%s\n' "${!lib_of_dir[@]}" | sort); do
    name=${lib_of_dir[$dir]}
    allowed=" $(reachable "$name") "
    declare -A used=()
    for file in "$dir"/*.h "$dir"/*.cpp; do
        while IFS=: read -r line header; do
            target=${dir_of_header[${header##*/}]-}
            # Not under src/ (a generated or system header): not a layer question.
            [[ -n $target && $target != "$dir" ]] || continue
            target_lib=${lib_of_dir[$target]-}
            if [[ -z $target_lib ]]; then
                fail "$file:$line: includes $header from $target, which is no library (src/$dir cannot link it)"
                continue
            fi
            used[$target_lib]=1
            [[ $allowed == *" $target_lib "* ]] ||
                fail "$file:$line: $dir ($name) includes $header from $target ($target_lib), which it does not link"
        done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
                     sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
        if grep -q '":/' "$file"; then
            for dep in ${deps_of_lib[$name]}; do
                [[ -n ${has_resources[$dep]-} ]] && used[$dep]=1
            done
        fi
    done
    for dep in ${deps_of_lib[$name]}; do
        [[ -n ${used[$dep]-} || -z ${dir_of_lib[$dep]-} ]] ||
            fail "$dir/CMakeLists.txt: $name links $dep (${dir_of_lib[$dep]}), but no file in $dir includes its headers"
    done
    if ((graph)); then
        printf '%-22s %-26s links:%s\n' "$name" "$dir" "${deps_of_lib[$name]}"
        printf '%-22s %-26s uses: %s\n' "" "" "$(printf '%s\n' "${!used[@]}" | sort | tr '\n' ' ')"
    fi
    unset used
done

if ((failures)); then
    echo "check-layers: $failures finding(s)"
    exit 1
fi
echo "check-layers: ${#lib_of_dir[@]} libraries, every include within their links and every link used"
