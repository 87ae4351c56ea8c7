#!/bin/bash
# Compares the search with GNU find, fd (one and two threads) and the floor
# walker (one thread and one per core) on a 300,000- and a 1,000,000-file tree,
# for a "before" query by date modified: the tools run in turn, RUNS rounds;
# prints median wall times, the search's ratios to each, and checks that the
# search lists exactly find's files. The search's time is from the click on
# "Start Searching" to the rows listed, as search_bench reports it; the whole
# process, which adds the window toolkit's start and end, is printed beside.
# The other tools' times are their whole processes. Trees it makes under /tmp
# are deleted at the end; trees that were there are kept. The load average
# before and after each tree's rounds is printed, as other work on the
# machine skews the times.
#   BUILD=release-build-dir RUNS=5 DATE=YYYY-MM-DD SIZES="300000 1000000" bench/compare.sh
set -euo pipefail

build=${BUILD:-$(dirname "$0")/../build-rel}
runs=${RUNS:-5}
day=${DATE:-2020-06-15}
sizes=${SIZES:-300000 1000000}
cores=$(nproc)
((cores < 2)) && cores=2
bench=$build/bench/search_bench
export LC_ALL=C.UTF-8

for tool in search_bench make_tree floor_walk; do
    if [ ! -x "$build/bench/$tool" ]; then
        echo "build $tool in $build first (Release)" >&2
        exit 1
    fi
done
bash "$(dirname "$0")/../scripts/setup.sh" fd-find > /dev/null

made=()
cleanup() { ((${#made[@]})) && rm -rf "${made[@]}"; true; }
trap cleanup EXIT

# Wall milliseconds of one command, its output discarded.
wall_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

source "$(dirname "$0")/timing.sh"

names=(search find fd-j1 fd-j2 floor-1 "floor-$cores" "search, whole process")
for size in $sizes; do
    tree=/tmp/orvanta-compare-$size
    if [ ! -d "$tree" ]; then
        "$build/bench/make_tree" "$tree" --files "$size" --folders $((size / 16)) --seed 1 > /dev/null
        made+=("$tree")
    fi
    commands=(
        "$bench $tree --type modified --mode before --date $day --hidden"
        "find $tree -type f ! -newermt $day"
        "fdfind -j1 --no-ignore --hidden --type f --changed-before $day . $tree"
        "fdfind -j2 --no-ignore --hidden --type f --changed-before $day . $tree"
        "$build/bench/floor_walk $tree 1"
        "$build/bench/floor_walk $tree $cores"
    )
    if diff <($bench "$tree" --type modified --mode before --date "$day" --hidden --print 2> /dev/null | cut -f1 | sort) \
            <(find "$tree" -type f ! -newermt "$day" | sort) > /dev/null; then
        rows="equal to find's"
    else
        rows="DIFFERENT from find's"
    fi
    declare -A times=()
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    for _ in $(seq "$runs"); do
        # shellcheck disable=SC2086 # the commands are word lists
        read -r search process < <(search_ms ${commands[0]})
        times[0]+="$search "
        times[6]+="$process "
        for i in 1 2 3 4 5; do
            # shellcheck disable=SC2086
            times[$i]+="$(wall_ms ${commands[$i]}) "
        done
    done
    echo "$size files ($tree), files modified before $day: the search's rows are $rows; $runs rounds;" \
        "load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after, on $cores cores"
    declare -A medians=()
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086
        medians[$i]=$(printf '%s\n' ${times[$i]} | median)
        printf '  %-9s median %6s ms   (runs: %s)\n' "${names[$i]}" "${medians[$i]}" "${times[$i]}"
    done
    for s in 0 6; do
        printf '  %s divided by:' "${names[$s]}"
        for i in 1 2 3 4 5; do
            printf ' %s %s;' "${names[$i]}" "$(ratio "${medians[$s]}" "${medians[$i]}")"
        done
        echo
    done
    unset times medians
done
