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
# The same holds for what a library talks to: each Qt module its files include must be
# linked (Qt6::Widgets brings Gui and Core), each linked Qt module included, and libexif
# linked exactly when included.
#
# The folder table in README.md must agree: every library has a row whose "talks to" cell
# names exactly the Qt modules it includes, "Linux" exactly when it includes system
# headers (<unistd.h>, <sys/...>), "libexif" exactly when it uses that, and whose
# "may use" cell lists exactly the libraries it links (platform ones as "platform NAME").
#
# Usage: scripts/check-layers.sh [--graph] [--qt-headers DIR] [source-root]
#   exit 0 clean, 1 on any finding; --graph prints each library's links and uses.
#   DIR is Qt's include folder (the one holding QtCore/); by default qmake6 is asked.
set -u
shopt -s nullglob

graph=0
qt_headers=""
while (($#)); do
    case $1 in
    --graph) graph=1 ;;
    --qt-headers) qt_headers=$2; shift ;;
    *) break ;;
    esac
    shift
done
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
[[ -n $qt_headers ]] || qt_headers=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null)
if [[ ! -d $qt_headers/QtCore ]]; then
    echo "check-layers: no Qt headers at '$qt_headers' (give --qt-headers DIR)"
    exit 2
fi
cd "$root" || exit 2

declare -A lib_of_dir dir_of_lib deps_of_lib dir_of_header has_resources links_of_lib
declare -A module_of_header talks_of_lib
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
    links=""
    for word in "${words[@]:1}"; do
        word=${word%)}
        [[ $word == tessel_* ]] && deps+=" $word"
        [[ $word == Qt6::* || $word == PkgConfig::* ]] && links+=" $word"
    done
    lib_of_dir[$dir]=$name
    dir_of_lib[$name]=$dir
    deps_of_lib[$name]=$deps
    links_of_lib[$name]=$links
    grep -qE 'qt_add_resources|tessel_resources' "$cmake" && has_resources[$name]=1
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

# Qt's public headers by name, to the module that ships them (QtWidgets/QLabel: Widgets).
for module_dir in "$qt_headers"/Qt*/; do
    module=${module_dir%/}
    module=${module##*/Qt}
    for header in "$module_dir"*; do
        [[ -f $header ]] && module_of_header[${header##*/}]=$module
    done
done

# What linking Qt6::M brings: the module and those it is built on.
qt_brings() {
    case $1 in
    Widgets) echo "Widgets Gui Core" ;;
    Gui) echo "Gui Core" ;;
    *) echo "$1 Core" ;;
    esac
}

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
    declare -A used=() talks=()
    for file in "$dir"/*.h "$dir"/*.cpp; do
        while IFS=: read -r line header; do
            target=${dir_of_header[${header##*/}]-}
            # Not under src/ (a generated or system header): not a layer question.
            [[ -n $target && $target != "$dir" ]] || continue
            target_lib=${lib_of_dir[$target]-}
            if [[ -z $target_lib ]]; then
                fail "$file:$line: includes $header from $target, which is no library ($dir cannot link it)"
                continue
            fi
            used[$target_lib]=1
            [[ $allowed == *" $target_lib "* ]] ||
                fail "$file:$line: $dir ($name) includes $header from $target ($target_lib), which it does not link"
        done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$file" |
                     sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
        while IFS= read -r header; do
            if [[ $header == libexif/* ]]; then
                talks[libexif]=1
            elif [[ -n ${module_of_header[$header]-} ]]; then
                talks[${module_of_header[$header]}]=1
            elif [[ $header == *.h ]]; then
                # The C++ library's headers have no ".h"; these are the system's.
                talks[Linux]=1
            fi
        done < <(grep -h -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<[^>]+>' "$file" |
                     sed -E 's/^[^<]*<([^>]+)>.*/\1/')
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
    # Qt and libexif: each one included is linked here, each one linked here is included.
    declare -A brought=()
    for link in ${links_of_lib[$name]}; do
        case $link in
        Qt6::*)
            for module in $(qt_brings "${link#Qt6::}"); do brought[$module]=1; done
            [[ -n ${talks[${link#Qt6::}]-} ]] ||
                fail "$dir/CMakeLists.txt: $name links $link, but no file in $dir includes its headers"
            ;;
        PkgConfig::LIBEXIF)
            brought[libexif]=1
            [[ -n ${talks[libexif]-} ]] ||
                fail "$dir/CMakeLists.txt: $name links $link, but no file in $dir includes <libexif/...>"
            ;;
        esac
    done
    for module in "${!talks[@]}"; do
        [[ $module == Linux || -n ${brought[$module]-} ]] ||
            fail "$dir/CMakeLists.txt: files in $dir include $module headers, but $name does not link it"
    done
    talks_of_lib[$name]=$(printf '%s\n' "${!talks[@]}" | sort | tr '\n' ' ')
    if ((graph)); then
        printf '%-22s %-26s links:%s\n' "$name" "$dir" "${deps_of_lib[$name]}"
        printf '%-22s %-26s uses: %s\n' "" "" "$(printf '%s\n' "${!used[@]}" | sort | tr '\n' ' ')"
        printf '%-22s %-26s talks to: %s\n' "" "" "${talks_of_lib[$name]}"
    fi
    unset used talks brought
done

# The README's folder table: | `src/x` | holds | talks to | may use |
declare -A row_seen=()
library_named() { # a "may use" word: a folder name ("commands", "platform lists")
    local word=${1#platform } dir
    for dir in "${!lib_of_dir[@]}"; do
        [[ ${dir##*/} == "$word" ]] && { echo "${lib_of_dir[$dir]}"; return; }
    done
}
readme=README.md
while IFS= read -r row; do
    line=${row%%:*}
    row=${row#*:}
    IFS='|' read -r _ folder _ talks_cell uses_cell _ <<<"$row"
    folder=$(echo "$folder" | tr -d '` ')
    folder=${folder%/}
    name=${lib_of_dir[$folder]-}
    if [[ -z $name ]]; then
        [[ -d $folder ]] && fail "$readme:$line: $folder has a row but is no library"
        continue
    fi
    row_seen[$name]=1
    # Talks to: every kind the files include is named, and nothing else is.
    for kind in ${talks_of_lib[$name]}; do
        [[ $talks_cell =~ (^|[^A-Za-z])$kind([^A-Za-z]|$) ]] ||
            fail "$readme:$line: $folder includes $kind headers, but its \"talks to\" cell does not say $kind"
    done
    for kind in $(printf '%s\n' "${module_of_header[@]}" | sort -u) Linux libexif; do
        [[ $talks_cell =~ (^|[^A-Za-z])$kind([^A-Za-z]|$) && " ${talks_of_lib[$name]}" != *" $kind "* ]] &&
            fail "$readme:$line: $folder's \"talks to\" cell names $kind, which no file in $folder includes"
    done
    # May use: exactly the tessel_ libraries its CMakeLists links.
    named=" "
    cell=$(echo "$uses_cell" | sed -E 's/\([^)]*\)//g; s/[;,]/\n/g' | sed -E 's/^ +//; s/ +$//')
    while IFS= read -r word; do
        [[ -z $word || $word == nothing ]] && continue
        lib=$(library_named "$word")
        if [[ -z $lib ]]; then
            fail "$readme:$line: $folder's \"may use\" cell names '$word', which is no library"
            continue
        fi
        named+="$lib "
        [[ " ${deps_of_lib[$name]} " == *" $lib "* ]] ||
            fail "$readme:$line: $folder's \"may use\" cell names '$word', which $name does not link"
    done <<<"$cell"
    for dep in ${deps_of_lib[$name]}; do
        [[ $named == *" $dep "* || -z ${dir_of_lib[$dep]-} ]] ||
            fail "$readme:$line: $name links $dep, but $folder's \"may use\" cell does not name it"
    done
done < <(grep -n -E '^\| *`src/' "$readme" 2>/dev/null)
for name in "${!dir_of_lib[@]}"; do
    [[ -n ${row_seen[$name]-} ]] || fail "$readme: no row for ${dir_of_lib[$name]} in the folder table"
done

if ((failures)); then
    echo "check-layers: $failures finding(s)"
    exit 1
fi
echo "check-layers: ${#lib_of_dir[@]} libraries, every include within their links, every link used, $readme's table agrees"
