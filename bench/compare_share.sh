#!/bin/bash
# Compares the search with GNU find, fd (2 and 32 threads) and the floor
# walker (2, 8 and 32 threads) on a network share: a FUSE file system (slowfs)
# that sleeps DELAY_US in every metadata call a file server would answer
# (status, opening and listing a folder), so calls made at once overlap as on
# NFS or SMB. Its backing trees sit on a tmpfs, so only the latency counts.
# Cases: trees of SIZES files (a folder per 16 files), a flat folder of FLAT
# files, each with one round trip per file's status (plus=0), and the trees of
# PLUS_SIZES with the status coming with the listing (plus=1, as NFS
# readdirplus). Every run is cold: caches are dropped before it. The tools run
# in turn, RUNS rounds, for a "before" query by date modified; prints median
# wall times, the search's ratios to each, the most calls in flight at the
# server and the calls made (medians), and checks that the search lists
# exactly find's files, fd as many, and the floor every file of the tree.
# The search's time is from the click on "Start Searching" to the rows
# listed, as search_bench reports it; the whole process is printed beside.
# Run as root (it mounts and drops caches); installs fd, FUSE and builds
# slowfs from SLOWFS_SRC (default: the tools folder beside the repository).
#   BUILD=release-build-dir RUNS=3 DATE=YYYY-MM-DD SIZES="20000 100000" FLAT=50000 \
#   PLUS_SIZES=100000 DELAY_US=1000 SLOWFS_SRC=path/slowfs.c bench/compare_share.sh
# FLAT=0, SIZES="" or PLUS_SIZES="" leaves that case out; SIZES="20000" RUNS=1 is a quick run.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD:-$here/../build-rel}
runs=${RUNS:-3}
day=${DATE:-2020-06-15}
sizes=${SIZES-20000 100000}
flat=${FLAT:-50000}
plus_sizes=${PLUS_SIZES-${sizes##* }}
delay=${DELAY_US:-1000}
slowfs_src=${SLOWFS_SRC:-$here/../../shared/tools/slowfs/slowfs.c}
floors=(2 8 32)
export LC_ALL=C.UTF-8

if ((EUID != 0)); then
    echo "run as root: it mounts a tmpfs and a FUSE file system and drops caches" >&2
    exit 1
fi
for tool in search_bench make_tree floor_walk; do
    if [ ! -x "$build/bench/$tool" ]; then
        echo "build $tool in $build first (Release)" >&2
        exit 1
    fi
done
if [ ! -f "$slowfs_src" ]; then
    echo "slowfs source not found at $slowfs_src; set SLOWFS_SRC" >&2
    exit 1
fi
bash "$here/../scripts/setup.sh" fd-find libfuse3-dev fuse3 pkg-config > /dev/null
bench=$build/bench/search_bench

scratch=$(mktemp -d /tmp/orvanta-share.XXXXXX)
backing=$scratch/backing
share=$scratch/share
mkdir "$backing" "$share"
slowfs_pid=
unmount_share() {
    if mountpoint -q "$share"; then
        fusermount3 -u "$share" 2> /dev/null || umount -l "$share"
    fi
    if [ -n "$slowfs_pid" ]; then
        wait "$slowfs_pid" 2> /dev/null || true
        slowfs_pid=
    fi
}
cleanup() {
    unmount_share
    mountpoint -q "$backing" && umount "$backing"
    rm -rf "$scratch"
}
trap cleanup EXIT
mount -t tmpfs -o size=4g,mode=0755 orvanta-share "$backing"
read -ra fuse_flags < <(pkg-config fuse3 --cflags --libs)
cc -O2 -o "$scratch/slowfs" "$slowfs_src" "${fuse_flags[@]}"
log=$scratch/slowfs.log

# Mounts the backing trees at $share with readdirplus on (1) or off (0).
mount_share() {
    unmount_share
    : > "$log"
    "$scratch/slowfs" "$share" -f -o "backing=$backing,delay_us=$delay,plus=$1,timeout=60,max_threads=1024" \
        2>> "$log" &
    slowfs_pid=$!
    for _ in $(seq 100); do
        mountpoint -q "$share" && return
        sleep 0.1
    done
    echo "slowfs did not mount:" >&2
    cat "$log" >&2
    exit 1
}

# Asks slowfs for its call counts since the last ask, and prints the calls
# made and the most in flight; the first ask after a mount just resets them.
server_calls() {
    local lines
    lines=$(grep -c '^slowfs: getattr' "$log" || true)
    kill -USR2 "$slowfs_pid"
    for _ in $(seq 200); do
        (($(grep -c '^slowfs: getattr' "$log" || true) > lines)) && break
        sleep 0.01
    done
    grep '^slowfs: getattr' "$log" | tail -1 | awk '{ print $3 + $5 + $7 + $9, $11 }'
}

cold() {
    sync
    echo 3 > /proc/sys/vm/drop_caches
    server_calls > /dev/null
}

# Wall milliseconds of one command, its output to the file $out.
wall_ms() {
    local start end
    start=$(date +%s%N)
    "$@" > "$out" 2> /dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

source "$here/timing.sh"

names=(search find fd-j2 fd-j32)
for n in "${floors[@]}"; do
    names+=("floor-$n")
done
names+=("search, whole process")
whole=$((${#names[@]} - 1))
declare -A summary=()
cases=()

# Times every tool on $share/$1, RUNS rounds, as case $2 (a column of the summary).
compare() {
    local tree=$share/$1 label=$2 expected i round calls inflight search process
    local -a commands
    local -A times=() trips=() most=() medians=()
    commands=(
        "$bench $tree --type modified --mode before --date $day --hidden --print"
        "find $tree -type f ! -newermt $day"
        "fdfind -j2 --no-ignore --hidden --type f --changed-before $day . $tree"
        "fdfind -j32 --no-ignore --hidden --type f --changed-before $day . $tree"
    )
    for n in "${floors[@]}"; do
        commands+=("$build/bench/floor_walk $tree $n")
    done
    expected=$(find "$backing/$1" -type f | wc -l)
    local rows="equal to find's" fd_rows="as many as find's" floor_files="all $expected"
    local load_before
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    for round in $(seq "$runs"); do
        for i in "${!commands[@]}"; do
            out=$scratch/out.$i
            cold
            if ((i == 0)); then
                # shellcheck disable=SC2086 # the commands are word lists
                read -r search process < <(search_ms ${commands[0]})
                times[0]+="$search "
                times[$whole]+="$process "
            else
                # shellcheck disable=SC2086
                times[$i]+="$(wall_ms ${commands[$i]}) "
            fi
            read -r calls inflight < <(server_calls)
            trips[$i]+="$calls "
            most[$i]+="$inflight "
        done
        if ! diff -q <(cut -f1 "$scratch/out.0" | sort) <(sort "$scratch/out.1") > /dev/null; then
            rows="DIFFERENT from find's (round $round)"
        fi
        for i in 2 3; do
            if (($(wc -l < "$scratch/out.$i") != $(wc -l < "$scratch/out.1"))); then
                fd_rows="NOT as many as find's (round $round)"
            fi
        done
        for ((i = 4; i < whole; ++i)); do
            if [ "$(cat "$scratch/out.$i")" != "$expected" ]; then
                floor_files="NOT all $expected (round $round)"
            fi
        done
    done
    echo "$label: $(wc -l < "$scratch/out.1") files modified before $day; the search's rows are $rows," \
        "fd's $fd_rows, the floor counts $floor_files files; $runs rounds, cold;" \
        "load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
    printf '  %-21s %9s %9s %11s   %s\n' tool "median ms" "in flight" "calls" "(runs ms)"
    for i in "${!names[@]}"; do
        # shellcheck disable=SC2086
        medians[$i]=$(printf '%s\n' ${times[$i]} | median)
        if ((i == whole)); then
            printf '  %-21s %9s   (runs: %s)\n' "${names[$i]}" "${medians[$i]}" "${times[$i]}"
        else
            # shellcheck disable=SC2086
            printf '  %-21s %9s %9s %11s   (runs: %s)\n' "${names[$i]}" "${medians[$i]}" \
                "$(printf '%s\n' ${most[$i]} | sort -n | tail -1)" "$(printf '%s\n' ${trips[$i]} | median)" \
                "${times[$i]}"
        fi
        summary[$label,$i]=${medians[$i]}
    done
    for s in 0 "$whole"; do
        printf '  %s divided by:' "${names[$s]}"
        for ((i = 1; i < whole; ++i)); do
            printf ' %s %s;' "${names[$i]}" "$(ratio "${medians[$s]}" "${medians[$i]}")"
        done
        echo
    done
    echo
    cases+=("$label")
}

echo "slowfs at $share: $delay us per round trip, backing trees on a tmpfs; $(nproc) cores"
echo
made() {
    [ -d "$backing/$1" ] || "$build/bench/make_tree" "$backing/$1" "${@:2}" --seed 1 > /dev/null
}
mount_share 0
for size in $sizes; do
    made "tree-$size" --files "$size" --folders $((size / 16))
    compare "tree-$size" "$size files"
done
if ((flat > 0)); then
    made "flat-$flat" --files "$flat" --folders 1
    compare "flat-$flat" "flat $flat"
fi
if [ -n "$plus_sizes" ]; then
    mount_share 1
    for size in $plus_sizes; do
        made "tree-$size" --files "$size" --folders $((size / 16))
        compare "tree-$size" "$size readdirplus"
    done
fi

echo "Medians, ms (cold, $delay us per round trip):"
printf '  %-21s' tool
for label in "${cases[@]}"; do
    printf ' %16s' "$label"
done
echo
for i in "${!names[@]}"; do
    printf '  %-21s' "${names[$i]}"
    for label in "${cases[@]}"; do
        printf ' %16s' "${summary[$label,$i]}"
    done
    echo
done
for s in 3 $((whole - 1)); do
    printf '  %-21s' "search / ${names[$s]}"
    for label in "${cases[@]}"; do
        printf ' %16s' "$(ratio "${summary[$label,0]}" "${summary[$label,$s]}")"
    done
    echo
done
