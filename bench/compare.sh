#!/bin/bash
# Compares the search with GNU find and fd on a 300,000-file tree: "before"
# and "on" queries by date modified, each tool run in turn RUNS times; prints
# the median wall times (whole processes) and the ratios, checks that the
# search lists exactly find's files, and measures a run that lists every file.
#   BUILD=release-build-dir TREE=tree-dir RUNS=5 DATE=YYYY-MM-DD bench/compare.sh
set -euo pipefail

build=${BUILD:-/work/build-search-rel}
tree=${TREE:-/tmp/orvanta-bench-tree}
runs=${RUNS:-5}
day=${DATE:-2020-06-15}
next=$(date -d "$day + 1 day" +%F)
bench=$build/bench/search_bench
export LC_ALL=C.UTF-8

if [ ! -x "$bench" ] || [ ! -x "$build/bench/make_tree" ]; then
    echo "build make_tree and search_bench in $build first (Release)" >&2
    exit 1
fi
if ! command -v fdfind > /dev/null; then
    apt-get install -y fd-find > /dev/null || { apt-get update > /dev/null && apt-get install -y fd-find > /dev/null; }
fi
if [ ! -d "$tree" ]; then
    "$build/bench/make_tree" "$tree" --files 300000 --folders 20000 --seed 1
fi

# Wall milliseconds of one command, its output discarded.
wall_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

# For the search: its whole process and its own run (click to last row), in ms.
search_ms_pair() {
    local start end inner
    start=$(date +%s%N)
    inner=$("$@" 2>&1 > /dev/null | awk '/wall seconds/ { printf "%d", $3 * 1000 }')
    end=$(date +%s%N)
    echo "$(((end - start) / 1000000)) $inner"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}

echo "tree: $tree ($(find "$tree" -type f | wc -l) files), $runs runs each, day $day"
for query in before on; do
    if [ "$query" = before ]; then
        find_args=(! -newermt "$day")
        fd_args=(--changed-before "$day 00:00:00")
    else
        find_args=(-newermt "$day" ! -newermt "$next")
        fd_args=(--changed-within "$day 00:00:00" --changed-before "$next 00:00:00")
    fi
    search=("$bench" "$tree" --type modified --mode "$query" --date "$day")

    if diff <("${search[@]}" --print 2> /dev/null | cut -f1 | sort) \
            <(find "$tree" -type f "${find_args[@]}" | sort) > /dev/null; then
        rows="equal to find's"
    else
        rows="DIFFERENT from find's"
    fi

    search_ms=() find_ms=() fd_ms=() inner_ms=()
    for _ in $(seq "$runs"); do
        read -r process inner < <(search_ms_pair "${search[@]}")
        search_ms+=("$process")
        inner_ms+=("$inner")
        find_ms+=("$(wall_ms find "$tree" -type f "${find_args[@]}")")
        fd_ms+=("$(wall_ms fdfind --no-ignore --hidden --type f "${fd_args[@]}" . "$tree")")
    done
    s=$(printf '%s\n' "${search_ms[@]}" | median)
    i=$(printf '%s\n' "${inner_ms[@]}" | median)
    f=$(printf '%s\n' "${find_ms[@]}" | median)
    d=$(printf '%s\n' "${fd_ms[@]}" | median)
    echo "$query $day: rows $rows"
    echo "  median ms: search process $s (its run, click to last row, $i), find $f, fd $d"
    echo "  search/find: process $(ratio "$s" "$f"), run $(ratio "$i" "$f"); search/fd: process $(ratio "$s" "$d"), run $(ratio "$i" "$d")"
    echo "  all runs ms: search ${search_ms[*]} | run ${inner_ms[*]} | find ${find_ms[*]} | fd ${fd_ms[*]}"
done

echo "listing every file:"
"$bench" "$tree" --type modified --mode after --date 2000-01-01 2>&1 > /dev/null | grep -v XDG_RUNTIME | sed 's/^/  /'
