# Shell routines the comparison scripts share; sourced, not run.

# Wall milliseconds of one search, printed as two numbers: the click to the
# rows listed, then the whole process. Its rows go to the file $out
# (/dev/null when unset).
search_ms() {
    local start end search
    start=$(date +%s%N)
    search=$("$@" 2>&1 > "${out:-/dev/null}" | awk '/^wall seconds:/ { printf "%d", $3 * 1000 }')
    end=$(date +%s%N)
    echo "$search $(((end - start) / 1000000))"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
