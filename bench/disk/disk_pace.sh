#!/usr/bin/env bash
# vexlor-cli's extract, list and export beside the peers that read or write the same bytes:
# `cat` of the library, ImageMagick converting the same pictures. Run by hand (a few minutes):
#
#   bench/disk/disk_pace.sh [BUILD_FOLDER] [OTHER_VEXLOR_CLI]
#
# BUILD_FOLDER (default: build) holds vexlor-cli and bench/vexlor_write_hull_library;
# OTHER_VEXLOR_CLI, when given, is timed in the same runs (an older build, say). Each figure is
# the median wall time of RUNS runs (default 7), in seconds.
#
# The peers:
# - extract: 3,000 HULL pictures of 32 x 32 to 8-bit BMP files. ImageMagick's mogrify, one process
#   for all 3,000 as vexlor-cli is one, converts the very same pictures, written beforehand as PNG
#   files by `extract --png`, to BMP files in a folder of their own. mogrify neither writes each
#   file under a new name nor puts anything on the disk; vexlor-cli does both, so the peer is also
#   timed followed by one `sync -f` of its folder, the single flush that vexlor-cli makes.
# - list and export: `cat` of the 65,535-picture library (138 MB) to /dev/null, the least that
#   reading the whole file costs. "warm": the file in the page cache; "cold": its pages dropped
#   before every run (dd iflag=nocache drops this one file's pages only).
set -euo pipefail

build=${1:-build}
other=${2:-}
runs=${RUNS:-7}
cli=$(realpath "$build/cli/vexlor-cli")
writer=$(realpath "$build/bench/vexlor_write_hull_library")
[[ -n "$other" ]] && other=$(realpath "$other")
command -v mogrify > /dev/null || { echo "needs ImageMagick's mogrify" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vexlor-disk-pace.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
"$writer" BIG.DAT
"$writer" H3000.DAT 3000
"$cli" extract H3000.DAT --png --out png > /dev/null
sync -f BIG.DAT

drop_cache() {
    dd if="$1" iflag=nocache count=0 status=none
}

# Wall time of one run of "$@", in seconds.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    echo "scale=4; ($end - $start) / 1000000000" | bc
}

median() {
    sort -g | awk '{ v[NR] = $1 } END { printf "%.4f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Times every command of a case, one after another in each run, so that all meet the same
# load; "$prepare" runs before each timed command, untimed.
declare -A times
time_case() {
    local prepare=$1
    shift
    local -a names=()
    while [[ $# -gt 0 && "$1" != "--" ]]; do names+=("$1"); shift; done
    shift
    local -a commands=("$@")
    for name in "${names[@]}"; do times[$name]=""; done
    for ((run = 0; run < runs; run++)); do
        for k in "${!names[@]}"; do
            $prepare
            times[${names[$k]}]+="$(seconds bash -c "${commands[$k]}") "
        done
    done
    for name in "${names[@]}"; do
        printf '  %-44s %s s\n' "$name" "$(echo "${times[$name]}" | tr ' ' '\n' | grep . | median)"
    done
}

fresh_outputs() {
    rm -rf out other-out mog
    mkdir mog
}
warm() { :; }
cold() { drop_cache BIG.DAT; }

extract_names=("vexlor-cli extract (3,000 BMP)" "mogrify -format bmp (same 3,000)" "mogrify, then sync -f")
extract_commands=("'$cli' extract H3000.DAT --out out" "mogrify -path mog -format bmp png/*.png"
                  "mogrify -path mog -format bmp png/*.png && sync -f mog")
if [[ -n "$other" ]]; then
    extract_names+=("other vexlor-cli extract")
    extract_commands+=("'$other' extract H3000.DAT --out other-out")
fi
echo "extract, median of $runs runs:"
time_case fresh_outputs "${extract_names[@]}" -- "${extract_commands[@]}"

for cache in warm cold; do
    names=("cat of the library ($cache)" "vexlor-cli list hull ($cache)"
           "vexlor-cli export hull, row 32767 ($cache)" "vexlor-cli export hull, row 65534 ($cache)")
    commands=("cat BIG.DAT" "'$cli' list hull BIG.DAT" "'$cli' export hull BIG.DAT --out exp 32767"
              "'$cli' export hull BIG.DAT --out exp 65534")
    if [[ -n "$other" ]]; then
        names+=("other list hull ($cache)" "other export hull, row 65534 ($cache)")
        commands+=("'$other' list hull BIG.DAT" "'$other' export hull BIG.DAT --out exp 65534")
    fi
    echo "list and export of 65,535 pictures, median of $runs runs:"
    cat BIG.DAT > /dev/null
    time_case $cache "${names[@]}" -- "${commands[@]}"
done
