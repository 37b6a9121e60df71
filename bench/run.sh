#!/usr/bin/env bash
# Benchmark of parvix-cli against GNU split and cat on the same file, and the scale checks.
#
# Builds a Release tree, makes a file of random bytes in a scratch folder (on the file system of the
# build tree unless --dir says otherwise), then alternates, run after run, `parvix-cli cut` at the
# "1.44M" size with `split -b 1447035`, and `parvix-cli join` of those pieces with `cat` of the same
# pieces, checking every output. The page cache cannot be dropped fairly in a container, so the file
# is kept warm for both programs and the order alternates. The scratch folder is removed at the end.
set -euo pipefail

usage() {
    cat <<'EOF'
Usage: bench/run.sh [OPTION]...

  --size SIZE          size of the test file (1G by default; K, M, G suffixes)
  --runs N             timed runs of each program (5 by default; the median is reported)
  --build-dir DIR      the Release build tree (build-bench by default)
  --no-build           use the programs already built in the build tree
  --no-deps            do not install missing packages first
  --dir DIR            make the scratch folder in DIR (the build tree by default)
  --big SIZE           the sparse source cut into 1 GiB pieces and joined back (5G; 0 skips it)
  --many N             pieces of 1 KB cut, listed and joined back (102400; 0 skips it)
  --add N              pieces in the set that "Add" reads (30000; 0 skips it)
  --no-window          skip the cut through the window
  --quick              --size 8M --runs 1 --big 0 --many 0 --add 0 --no-window
EOF
}

root=$(cd "$(dirname "$0")/.." && pwd)
size=1G
runs=5
build=$root/build-bench
do_build=1
do_deps=1
parent=
big=5G
many=102400
add=30000
window=1
while [ $# -gt 0 ]; do
    case $1 in
    --size) size=$2; shift ;;
    --runs) runs=$2; shift ;;
    --build-dir) build=$(realpath -m "$2"); shift ;;
    --no-build) do_build=0 ;;
    --no-deps) do_deps=0 ;;
    --dir) parent=$(realpath -m "$2"); shift ;;
    --big) big=$2; shift ;;
    --many) many=$2; shift ;;
    --add) add=$2; shift ;;
    --no-window) window=0 ;;
    --quick) size=8M runs=1 big=0 many=0 add=0 window=0 ;;
    -h | --help) usage; exit 0 ;;
    *) echo "bench/run.sh: unknown option $1" >&2; usage >&2; exit 64 ;;
    esac
    shift
done
bytes=$(numfmt --from=iec "$size")
big_bytes=$(numfmt --from=iec "$big")
piece=1447035
if [ "$bytes" -lt "$piece" ]; then
    echo "bench/run.sh: --size must be at least one piece ($piece bytes)" >&2
    exit 64
fi

if [ "$do_build" = 1 ]; then
    if [ "$do_deps" = 1 ] && [ -x "$root/scripts/deps.sh" ]; then
        "$root/scripts/deps.sh"
    fi
    gui=OFF
    [ "$window" = 1 ] && gui=ON
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARVIX_BUILD_BENCH=ON \
        -DPARVIX_BUILD_TESTS=OFF -DPARVIX_BUILD_GUI=$gui >/dev/null
    cmake --build "$build" -j2 >/dev/null
fi
cli=$build/app/parvix-cli
timer=$build/bench/parvix-bench-run
lister=$build/bench/parvix-bench-list
windowed=$build/bench/parvix-bench-window
for program in "$cli" "$timer" "$lister"; do
    [ -x "$program" ] || { echo "bench/run.sh: $program is missing; build with -DPARVIX_BUILD_BENCH=ON" >&2; exit 1; }
done

[ -n "$parent" ] || parent=$build
mkdir -p "$parent"
scratch=$(mktemp -d "$parent/parvix-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

fail() {
    echo "bench/run.sh: FAILED: $*" >&2
    exit 1
}

# Memory touched and freed before each timed run, so that every run writes its output into pages the
# virtual machine has just used (see parvix-bench-run); a little more than the output.
warm_mib=$(((bytes >> 20) + 64))
[ "$warm_mib" -gt 4096 ] && warm_mib=4096

# timed LABEL [--stdout FILE] COMMAND...: runs COMMAND, appends "SECONDS PEAK_KIB CPU" to LABEL.times.
timed() {
    local label=$1
    shift
    local out=/dev/null
    if [ "$1" = --stdout ]; then
        out=$2
        shift 2
    fi
    sync
    local result
    result=$("$timer" --warm "$warm_mib" --stdout "$out" -- "$@" 2>"$scratch/$label.err") ||
        fail "$label: $* exited with $?: $(cat "$scratch/$label.err")"
    echo "$result" >>"$scratch/$label.times"
}

# median FILE COLUMN
median() {
    awk -v c="$2" '{print $c}' "$1" | sort -g | awk '{v[NR] = $1} END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

maximum() {
    awk -v c="$2" 'NR == 1 || $c > m {m = $c} END {print m}' "$1"
}

count=$(((bytes + piece - 1) / piece))
names=()
for ((k = 1; k <= count; k++)); do
    names+=("$(printf 'src$bin.%03d' "$k")")
done
# "NAME SIZE" of every piece, as a correct cut leaves them.
expected_sizes=$scratch/expected-sizes
for ((k = 1; k <= count; k++)); do
    if [ "$k" -lt "$count" ]; then echo "${names[k - 1]} $piece"; else echo "${names[k - 1]} $((bytes - (count - 1) * piece))"; fi
done >"$expected_sizes"

# check_pieces DIR: the right names and sizes, nothing else but Link.bat, and the source's bytes.
check_pieces() {
    local dir=$1
    (cd "$dir" && stat -c '%n %s' -- "${names[@]}") | cmp -s - "$expected_sizes" || fail "pieces in $dir: names or sizes"
    local extra
    extra=$(find "$dir" -mindepth 1 ! -name 'src$bin.*' ! -name Link.bat | head -1)
    [ -z "$extra" ] || fail "unexpected file $extra"
    [ "$(find "$dir" -mindepth 1 -name 'src$bin.*' | wc -l)" = "$count" ] || fail "pieces in $dir: count"
    (cd "$dir" && cat -- "${names[@]}") | cmp -s - src.bin || fail "pieces in $dir: bytes differ from the source"
}

cut_parvix() {
    rm -rf cut-parvix && mkdir cut-parvix
    timed cut-parvix "$cli" cut --yes src.bin "$scratch/cut-parvix/src\$bin"
    check_pieces cut-parvix
    [ -f cut-parvix/Link.bat ] || fail "Link.bat is missing"
    [ "$(grep -o '"src\$bin\.[0-9]*"' cut-parvix/Link.bat | wc -l)" = "$count" ] || fail "Link.bat does not list every piece"
    rm -rf cut-parvix
}

cut_split() {
    rm -rf cut-split && mkdir cut-split
    (cd cut-split && timed cut-split split -b "$piece" -d -a 3 --numeric-suffixes=1 ../src.bin 'src$bin.')
    check_pieces cut-split
    rm -rf cut-split
}

join_parvix() {
    rm -f joined-parvix
    timed join-parvix "$cli" join --yes "$scratch/joined-parvix" "${pieces[@]}"
    cmp -s joined-parvix src.bin || fail "parvix-cli join: the joined file differs from the source"
    rm -f joined-parvix
}

join_cat() {
    rm -f joined-cat
    timed join-cat --stdout joined-cat cat "${pieces[@]}"
    cmp -s joined-cat src.bin || fail "cat: the joined file differs from the source"
    rm -f joined-cat
}

echo "test file: $bytes bytes of random data in $scratch, $count pieces, $runs runs"
head -c "$bytes" /dev/urandom >src.bin
mkdir pieces
"$cli" cut --yes src.bin "$scratch/pieces/src\$bin" >/dev/null 2>&1 || fail "parvix-cli cut of the join's pieces"
check_pieces pieces
pieces=()
for name in "${names[@]}"; do pieces+=("pieces/$name"); done

# One untimed round first: the source and the pieces are then in the page cache for everyone.
cut_parvix; cut_split; join_parvix; join_cat
rm -f ./*.times
for ((run = 1; run <= runs; run++)); do
    if ((run % 2)); then
        cut_parvix; cut_split; join_parvix; join_cat
    else
        cut_split; cut_parvix; join_cat; join_parvix
    fi
done

list() { awk '{printf "%s%.3f", (NR > 1 ? " " : ""), $1}' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
for label in cut-parvix cut-split join-parvix join-cat; do
    printf '%-12s median s: %.3f (runs: %s; CPU median s: %.3f)\n' "$label" "$(median "$label.times" 1)" \
        "$(list "$label.times")" "$(median "$label.times" 3)"
done
echo "cut ratio vs split: $(ratio "$(median cut-parvix.times 1)" "$(median cut-split.times 1)")"
echo "join ratio vs cat: $(ratio "$(median join-parvix.times 1)" "$(median join-cat.times 1)")"
echo "cut CPU ratio vs split: $(ratio "$(median cut-parvix.times 3)" "$(median cut-split.times 3)")"
echo "join CPU ratio vs cat: $(ratio "$(median join-parvix.times 3)" "$(median join-cat.times 3)")"
echo "cut peak RSS MiB: $(mib "$(maximum cut-parvix.times 2)")"
echo "join peak RSS MiB: $(mib "$(maximum join-parvix.times 2)")"
echo "peak RSS limit MiB (one piece + 16 MiB): $(mib $(((piece >> 10) + 16 * 1024)))"
rm -rf pieces
