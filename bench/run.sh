#!/usr/bin/env bash
# Benchmark of parvix-cli against GNU split and cat on the same file, and the scale checks.
#
# Builds a Release tree, makes a file of random bytes in a scratch folder (on the file system of the
# build tree unless --dir says otherwise), then alternates, run after run, `parvix-cli cut` at the
# "1.44M" size with `split -b 1447035`, and `parvix-cli join` of those pieces with `cat` of the same
# pieces, checking every output. parvix-cli's cut and join end with their outputs on the disk, so they
# are also compared with `split … && sync` and `cat … > f && sync`; with --baseline, the parvix-cli of
# another commit runs beside them. The page cache cannot be dropped fairly in a container, so the file
# is kept warm for every program and the order alternates. The scratch folder is removed at the end.
#
# When parvix-cli writes recovery sets (an index BASE.par2 beside every cut, recovery volumes with
# --recovery), it is also timed cutting with one recovery slice and with one in twenty pieces, against
# split followed by par2cmdline's `par2 create` of the same slices, and joining a set with a piece lost
# and another damaged, against its sound join and against `par2 repair` followed by cat. par2cmdline
# also checks what parvix-cli writes: it verifies the pieces against the index and rebuilds lost pieces
# from the volumes.
set -euo pipefail

usage() {
    cat <<'EOF'
Usage: bench/run.sh [OPTION]...

  --size SIZE          size of the test file (1G by default; K, M, G suffixes)
  --runs N             timed runs of each program (5 by default; the median is reported)
  --par2-runs N        timed runs of the slow par2cmdline steps (3 by default, at most --runs)
  --build-dir DIR      the Release build tree (build-bench by default)
  --no-build           use the programs already built in the build tree
  --no-deps            do not install missing packages first
  --dir DIR            make the scratch folder in DIR (the build tree by default)
  --big SIZE           the sparse source cut into 1 GiB pieces and joined back (5G; 0 skips it)
  --many N             pieces of 1 KB cut, listed and joined back (262144; 0 skips it)
  --add N              pieces in the set that "Add" reads (30000; 0 skips it)
  --no-window          skip the cut through the window
  --window             measure the cut through the window (after --quick)
  --quick              --size 8M --runs 1 --big 0 --many 0 --add 0 --no-window
  --baseline REV       also time the parvix-cli of commit REV (built from git), with and without sync
EOF
}

root=$(cd "$(dirname "$0")/.." && pwd)
size=1G
runs=5
par2_runs=3
build=$root/build-bench
do_build=1
do_deps=1
parent=
big=5G
many=262144
add=30000
window=1
baseline=
# Whether the ratios are held against their targets: not for --quick, whose small file says nothing of them.
judge=1
while [ $# -gt 0 ]; do
    case $1 in
    --size) size=$2; shift ;;
    --runs) runs=$2; shift ;;
    --par2-runs) par2_runs=$2; shift ;;
    --build-dir) build=$(realpath -m "$2"); shift ;;
    --no-build) do_build=0 ;;
    --no-deps) do_deps=0 ;;
    --dir) parent=$(realpath -m "$2"); shift ;;
    --big) big=$2; shift ;;
    --many) many=$2; shift ;;
    --add) add=$2; shift ;;
    --no-window) window=0 ;;
    --window) window=1 ;;
    --quick) size=8M runs=1 big=0 many=0 add=0 window=0 judge=0 ;;
    --baseline) baseline=$2; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "bench/run.sh: unknown option $1" >&2; usage >&2; exit 64 ;;
    esac
    shift
done
bytes=$(numfmt --from=iec "$size")
big_bytes=$(numfmt --from=iec "$big")
piece=1447035
# The damaged set loses a piece other than the first and has a byte changed in the last.
if [ "$bytes" -le $((2 * piece)) ]; then
    echo "bench/run.sh: --size must be more than two pieces ($((2 * piece)) bytes)" >&2
    exit 64
fi
[ "$par2_runs" -le "$runs" ] || par2_runs=$runs
[ "$par2_runs" -ge 1 ] || par2_runs=1

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
# The console program of another commit, from its own source tree beside the build.
baseline_cli=
if [ -n "$baseline" ]; then
    baseline_tree=$build/baseline-$baseline
    if [ ! -x "$baseline_tree/build/app/parvix-cli" ]; then
        rm -rf "$baseline_tree"
        mkdir -p "$baseline_tree/src"
        git -C "$root" archive "$baseline" | tar -x -C "$baseline_tree/src"
        cmake -S "$baseline_tree/src" -B "$baseline_tree/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DPARVIX_BUILD_TESTS=OFF -DPARVIX_BUILD_GUI=OFF >/dev/null
        cmake --build "$baseline_tree/build" -j2 --target parvix-cli >/dev/null
    fi
    baseline_cli=$baseline_tree/build/app/parvix-cli
fi
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
    # The disk settles first: nothing of the run before is still being written.
    sync
    sleep 1
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

# check_set DIR: every piece there, of the right size, and together the source's bytes.
check_set() {
    local dir=$1
    (cd "$dir" && stat -c '%n %s' -- "${names[@]}") | cmp -s - "$expected_sizes" || fail "pieces in $dir: names or sizes"
    (cd "$dir" && cat -- "${names[@]}") | cmp -s - src.bin || fail "pieces in $dir: bytes differ from the source"
}

# check_pieces DIR: the set, and nothing else but Link.bat, the check file and the PAR2 files.
check_pieces() {
    local dir=$1
    check_set "$dir"
    local extra
    extra=$(find "$dir" -mindepth 1 ! -name 'src$bin.[0-9]*' ! -name Link.bat ! -name 'src$bin.crc' \
        ! -name 'src$bin.par2' ! -name 'src$bin.vol*.par2' | head -1)
    [ -z "$extra" ] || fail "unexpected file $extra"
    [ "$(find "$dir" -mindepth 1 -name 'src$bin.[0-9]*' | wc -l)" = "$count" ] || fail "pieces in $dir: count"
}

# Spent outputs are emptied, not removed, until the end: ext4 without a journal skips recently freed
# inodes one by one when it allocates new ones, and removing hundreds of pieces before every run would
# make the next run's file creations (of either program) pay for that instead of for copying.
retired=0
retire() {
    retired=$((retired + 1))
    mkdir -p spent
    mv "$1" "spent/$retired"
    find "spent/$retired" -type f -exec truncate -s 0 {} +
}

# cut_parvix [N]: the cut, writing recovery able to rebuild N pieces when N is given.
cut_parvix() {
    local n=${1:-0} label=cut-parvix options=()
    if [ "$n" -gt 0 ]; then
        label=cut-parvix-r$n
        options=(--recovery "$n")
    fi
    mkdir "$label"
    timed "$label" "$cli" cut --yes "${options[@]}" src.bin "$scratch/$label/src\$bin"
    check_pieces "$label"
    [ -f "$label/Link.bat" ] || fail "Link.bat is missing"
    [ "$(grep -o '"src\$bin\.[0-9]*"' "$label/Link.bat" | wc -l)" = "$count" ] || fail "Link.bat does not list every piece"
    [ "$(sed -n 2p "$label/src\$bin.crc")" = $'size='"$bytes"$'\r' ] || fail "the check file does not give the size"
    check_recovery "$label" "$n"
    retire "$label"
}

# The cuts with recovery: one slice, and one in twenty pieces.
cut_recovery() {
    [ "$recovery" = 1 ] || return 0
    cut_parvix 1
    cut_parvix "$spare"
}

cut_split() {
    mkdir cut-split
    (cd cut-split && timed cut-split split -b "$piece" -d -a 3 --numeric-suffixes=1 ../src.bin 'src$bin.')
    check_pieces cut-split
    retire cut-split
}

# The same, on the disk when it ends, as parvix-cli's cut is.
cut_split_sync() {
    mkdir cut-split-sync
    (cd cut-split-sync && timed cut-split-sync sh -c "split -b $piece -d -a 3 --numeric-suffixes=1 ../src.bin 'src\$bin.' && sync")
    check_pieces cut-split-sync
    retire cut-split-sync
}

cut_baseline() {
    [ -n "$baseline_cli" ] || return 0
    for label in cut-baseline cut-baseline-sync; do
        mkdir "$label"
        if [ "$label" = cut-baseline ]; then
            timed "$label" "$baseline_cli" cut --yes src.bin "$scratch/$label/src\$bin"
        else
            timed "$label" sh -c "'$baseline_cli' cut --yes src.bin '$scratch/$label/src\$bin' >/dev/null 2>&1 && sync"
        fi
        check_pieces "$label"
        retire "$label"
    done
}

join_parvix() {
    rm -f joined-parvix
    timed join-parvix "$cli" join --yes "$scratch/joined-parvix" "pieces/src\$bin.001"
    cmp -s joined-parvix src.bin || fail "parvix-cli join: the joined file differs from the source"
    rm -f joined-parvix
}

join_cat() {
    rm -f joined-cat
    timed join-cat --stdout joined-cat cat "${pieces[@]}"
    cmp -s joined-cat src.bin || fail "cat: the joined file differs from the source"
    rm -f joined-cat
}

join_cat_sync() {
    rm -f joined-cat
    timed join-cat-sync sh -c 'cat "$@" >joined-cat && sync' sh "${pieces[@]}"
    cmp -s joined-cat src.bin || fail "cat && sync: the joined file differs from the source"
    rm -f joined-cat
}

join_baseline() {
    [ -n "$baseline_cli" ] || return 0
    rm -f joined-baseline
    timed join-baseline "$baseline_cli" join --yes "$scratch/joined-baseline" "${pieces[@]}"
    cmp -s joined-baseline src.bin || fail "baseline join: the joined file differs from the source"
    rm -f joined-baseline
    timed join-baseline-sync sh -c "'$baseline_cli' join --yes '$scratch/joined-baseline' \"\$@\" >/dev/null 2>&1 && sync" \
        sh "${pieces[@]}"
    rm -f joined-baseline
}

# The name par2cmdline gives to a single volume of N recovery slices counted from 0: both numbers as
# wide as N (src$bin.vol0+1.par2, src$bin.vol00+38.par2).
volume_name() {
    echo "src\$bin.vol$(printf '%0*d' "${#1}" 0)+$1.par2"
}

# par2_files DIR: the names of the PAR2 files in DIR, in one line.
par2_files() {
    find "$1" -maxdepth 1 -name '*.par2' -printf '%f\n' | LC_ALL=C sort | paste -s -d ' '
}

# flip_byte FILE OFFSET: the byte at OFFSET becomes its complement, which always differs from it.
flip_byte() {
    local value
    value=$(od -An -tu1 -j "$2" -N1 "$1")
    # shellcheck disable=SC2059 # the octal escape is the format
    printf "\\$(printf '%03o' $((255 - value)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# damaged_copy DIR FROM BAD LOST...: in DIR, the join's set without the pieces numbered LOST and with a
# byte changed in the middle of piece BAD (0: none), beside the PAR2 files of FROM. The pieces are hard
# links to the sound ones, and BAD a copy of its own: hundreds of new files before a timed run would
# slow the writes of the runs that follow (see retire), and a program that wrote into a sound piece
# fails the next join's check of its bytes.
damaged_copy() {
    local dir=$1 from=$2 bad=$3 k
    shift 3
    local keep=()
    for ((k = 1; k <= count; k++)); do
        [[ " $* " == *" $k "* ]] || keep+=("pieces/${names[k - 1]}")
    done
    mkdir "$dir"
    ln -- "${keep[@]}" pieces/Link.bat "pieces/src\$bin.crc" "$from"/*.par2 "$dir/"
    if [ "$bad" -gt 0 ]; then
        local name=$dir/${names[bad - 1]}
        cp --remove-destination "pieces/${names[bad - 1]}" "$name"
        flip_byte "$name" $(($(stat -c %s "$name") / 2))
    fi
}

# check_recovery DIR N: the PAR2 files that a cut of src.bin into DIR wrote: the index, and with N > 0
# one volume of N recovery slices, named as par2cmdline names it. The first of each N is put to
# par2cmdline, then kept: without recovery, it verifies the pieces against the index; with N slices, it
# rebuilds N lost pieces from the volume, the shorter last piece among them. A later cut of the same
# bytes must write the same files, byte for byte.
check_recovery() {
    local dir=$1 n=$2 expected=() file k
    [ "$recovery" = 1 ] || return 0
    expected=("src\$bin.par2")
    [ "$n" -gt 0 ] && expected+=("$(volume_name "$n")")
    [ "$(par2_files "$dir")" = "${expected[*]}" ] || fail "PAR2 files in $dir: '$(par2_files "$dir")', not '${expected[*]}'"
    if [ -d "kept-$n" ]; then
        for file in "${expected[@]}"; do
            cmp -s "kept-$n/$file" "$dir/$file" || fail "$dir/$file differs from that of the first cut"
        done
        return 0
    fi
    if [ "$n" = 0 ]; then
        (cd "$dir" && par2 verify -q "src\$bin.par2") >par2.out 2>&1 ||
            fail "par2 verify rejects $dir/src\$bin.par2: $(tail -5 par2.out)"
    else
        local missing=()
        for ((k = 1; k <= n; k++)); do missing+=($((k * count / n))); done
        damaged_copy rebuilt "$dir" 0 "${missing[@]}"
        (cd rebuilt && par2 repair -q "src\$bin.par2") >par2.out 2>&1 ||
            fail "par2 repair of $n lost pieces from the recovery of $dir: $(tail -5 par2.out)"
        check_set rebuilt
        rm -rf rebuilt
    fi
    mkdir "kept-$n"
    for file in "${expected[@]}"; do cp -- "$dir/$file" "kept-$n/"; done
}

# The peer of the cut with recovery: split, then par2cmdline's recovery of the same slices, on the disk.
# Slow, so it runs in the first --par2-runs runs only; the first run's PAR2 files are kept for the peer
# of the damaged join.
cut_split_par2() {
    [ "$recovery" = 1 ] && [ "$run" -le "$par2_runs" ] || return 0
    mkdir cut-split-par2
    (cd cut-split-par2 && timed cut-split-par2 sh -c 'split -b "$1" -d -a 3 --numeric-suffixes=1 ../src.bin "src\$bin." &&
        par2 create -q -s"$2" -c"$3" -n1 "src\$bin.par2" "src\$bin".[0-9]* && sync' sh "$piece" "$slice" "$spare")
    check_pieces cut-split-par2
    # par2cmdline names its volume as volume_name says ours must be named.
    [ "$(par2_files cut-split-par2)" = "src\$bin.par2 $(volume_name "$spare")" ] ||
        fail "par2 create wrote $(par2_files cut-split-par2)"
    if [ ! -d peer-par2 ]; then
        mkdir peer-par2
        mv cut-split-par2/*.par2 peer-par2/
    fi
    retire cut-split-par2
}

# The join of the set with piece $lost gone and a byte of piece $bad changed, both rebuilt as it joins,
# and named.
join_damaged() {
    [ "$recovery" = 1 ] || return 0
    damaged_copy damaged pieces "$bad" "$lost"
    rm -f joined-damaged
    timed join-damaged --stdout join-damaged.out "$cli" join --yes "$scratch/joined-damaged" "damaged/src\$bin.001"
    cmp -s joined-damaged src.bin || fail "parvix-cli join of the damaged set: the joined file differs from the source"
    for k in "$lost" "$bad"; do
        grep -qFw -- "${names[k - 1]}" join-damaged.out join-damaged.err ||
            fail "parvix-cli join of the damaged set does not name ${names[k - 1]}: $(cat join-damaged.out join-damaged.err)"
    done
    rm -rf damaged joined-damaged
}

# Its peer: par2cmdline repairs the same damage from its own recovery, then cat joins the pieces.
join_damaged_par2() {
    [ "$recovery" = 1 ] && [ "$run" -le "$par2_runs" ] || return 0
    damaged_copy damaged-par2 peer-par2 "$bad" "$lost"
    rm -f joined-par2
    (cd damaged-par2 && timed join-damaged-par2 sh -c 'par2 repair -q "src\$bin.par2" && cat "$@" >../joined-par2 && sync' \
        sh "${names[@]}")
    cmp -s joined-par2 src.bin || fail "par2 repair && cat: the joined file differs from the source"
    rm -rf damaged-par2 joined-par2
}

# The same damage repaired in place, once: the repaired set is the sound one.
repair_parvix() {
    [ "$recovery" = 1 ] || return 0
    damaged_copy repaired pieces "$bad" "$lost"
    timed repair "$cli" repair --yes "repaired/src\$bin.001"
    check_set repaired
    rm -rf repaired
}

# Whether this parvix-cli writes recovery sets: an index beside every cut, and volumes on request. The
# programs of a tree from before them are measured without the steps that need them; one that writes
# only one of the two fails.
recovery=0
mkdir -p probe/plain probe/recovery
head -c 3000 /dev/urandom >probe/probe.bin
"$cli" cut --yes --kb 1 probe/probe.bin "$scratch/probe/plain/probe" >/dev/null 2>probe/err ||
    fail "parvix-cli cut of a small file: $(cat probe/err)"
if "$cli" cut --yes --kb 1 --recovery 1 probe/probe.bin "$scratch/probe/recovery/probe" >/dev/null 2>probe/err; then
    [ -f probe/plain/probe.par2 ] || fail "parvix-cli cut writes recovery volumes, but no index without them"
    recovery=1
    command -v par2 >/dev/null || fail "par2 (par2cmdline), which checks the recovery sets, is missing: scripts/deps.sh installs it"
else
    [ ! -f probe/plain/probe.par2 ] || fail "parvix-cli cut writes an index, but not with --recovery 1: $(cat probe/err)"
    echo "recovery sets: not measured, $cli writes none ($(head -1 probe/err))"
fi
rm -rf probe

# Recovery able to rebuild one piece in twenty (at least the two pieces the damaged join loses), in
# slices of a piece rounded up to a multiple of 4, one a piece, as par2cmdline is asked to make them too.
spare=$(((count + 19) / 20))
[ "$spare" -ge 2 ] || spare=2
slice=$(((piece + 3) / 4 * 4))
lost=$(((count + 1) / 2))
bad=$count
join_options=()
[ "$recovery" = 1 ] && join_options=(--recovery "$spare")

peer_runs=
[ "$recovery" = 1 ] && peer_runs=" ($par2_runs of the slow steps with par2cmdline)"
echo "test file: $bytes bytes of random data in $scratch, $count pieces, $runs runs$peer_runs"
head -c "$bytes" /dev/urandom >src.bin
mkdir pieces
"$cli" cut --yes "${join_options[@]}" src.bin "$scratch/pieces/src\$bin" >/dev/null 2>&1 || fail "parvix-cli cut of the join's pieces"
check_pieces pieces
check_recovery pieces "$spare"
pieces=()
for name in "${names[@]}"; do pieces+=("pieces/$name"); done

# One untimed round first: the source and the pieces are then in the page cache for everyone.
cut_parvix; cut_split; join_parvix; join_cat
[ "$recovery" = 0 ] || cut_parvix 1
rm -f ./*.times
for ((run = 1; run <= runs; run++)); do
    if ((run % 2)); then
        cut_parvix; cut_recovery; cut_split; cut_split_sync; cut_split_par2; cut_baseline
        join_parvix; join_damaged; join_cat; join_cat_sync; join_damaged_par2; join_baseline
    else
        cut_baseline; cut_split_par2; cut_split_sync; cut_split; cut_recovery; cut_parvix
        join_baseline; join_damaged_par2; join_cat_sync; join_cat; join_damaged; join_parvix
    fi
done
repair_parvix

list() { awk '{printf "%s%.3f", (NR > 1 ? " " : ""), $1}' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
labels=(cut-parvix cut-split cut-split-sync join-parvix join-cat join-cat-sync)
[ "$recovery" = 1 ] && labels+=(cut-parvix-r1 "cut-parvix-r$spare" cut-split-par2 join-damaged join-damaged-par2)
[ -n "$baseline_cli" ] && labels+=(cut-baseline cut-baseline-sync join-baseline join-baseline-sync)
for label in "${labels[@]}"; do
    printf '%-18s median s: %.3f (runs: %s; CPU median s: %.3f)\n' "$label" "$(median "$label.times" 1)" \
        "$(list "$label.times")" "$(median "$label.times" 3)"
done
# time_ratio LABEL PEER: the median time of LABEL over PEER's.
time_ratio() { ratio "$(median "$1.times" 1)" "$(median "$2.times" 1)"; }
# report NAME LABEL PEER [TARGET]: prints the ratio, and notes it when it is above TARGET.
above=()
report() {
    local value
    value=$(time_ratio "$2" "$3")
    echo "$1: $value"
    if [ -n "${4:-}" ] && awk -v r="$value" -v t="$4" 'BEGIN {exit !(r > t)}'; then
        above+=("$1: $value (at most $4)")
    fi
}
# parvix-cli's cut and join are on the disk when they end; the plain split and cat are not.
report "cut ratio vs split" cut-parvix cut-split
report "join ratio vs cat" join-parvix join-cat
report "cut ratio vs split && sync" cut-parvix cut-split-sync 1.15
report "join ratio vs cat && sync" join-parvix join-cat-sync 1.1
if [ "$recovery" = 1 ]; then
    report "cut --recovery 1 ratio vs split && sync" cut-parvix-r1 cut-split-sync 1.25
    report "cut --recovery $spare ratio vs split && par2 create && sync" "cut-parvix-r$spare" cut-split-par2 0.25
    report "damaged join ratio vs join" join-damaged join-parvix 1.5
    report "damaged join ratio vs par2 repair && cat && sync" join-damaged join-damaged-par2 0.25
fi
if [ -n "$baseline_cli" ]; then
    echo "cut ratio vs $baseline: $(ratio "$(median cut-parvix.times 1)" "$(median cut-baseline.times 1)")"
    echo "cut ratio vs $baseline && sync: $(ratio "$(median cut-parvix.times 1)" "$(median cut-baseline-sync.times 1)")"
    echo "join ratio vs $baseline: $(ratio "$(median join-parvix.times 1)" "$(median join-baseline.times 1)")"
    echo "join ratio vs $baseline && sync: $(ratio "$(median join-parvix.times 1)" "$(median join-baseline-sync.times 1)")"
    echo "$baseline cut ratio vs split: $(ratio "$(median cut-baseline.times 1)" "$(median cut-split.times 1)")"
    echo "$baseline join ratio vs cat: $(ratio "$(median join-baseline.times 1)" "$(median join-cat.times 1)")"
fi
echo "cut CPU ratio vs split: $(ratio "$(median cut-parvix.times 3)" "$(median cut-split.times 3)")"
echo "join CPU ratio vs cat: $(ratio "$(median join-parvix.times 3)" "$(median join-cat.times 3)")"
echo "cut peak RSS MiB: $(mib "$(maximum cut-parvix.times 2)")"
echo "join peak RSS MiB: $(mib "$(maximum join-parvix.times 2)")"
echo "peak RSS limit MiB (58 blocks of 1 MiB + 8 MiB): 66.0"
if [ "$recovery" = 1 ]; then
    echo "cut --recovery 1 peak RSS MiB: $(mib "$(maximum cut-parvix-r1.times 2)")"
    echo "cut --recovery $spare peak RSS MiB: $(mib "$(maximum "cut-parvix-r$spare.times" 2)")" \
        "($spare recovery slices: $(mib $((spare * slice >> 10))))"
    echo "damaged join peak RSS MiB: $(mib "$(maximum join-damaged.times 2)")"
    printf 'repair of 2 pieces s: %.3f (one run), peak RSS MiB: %s\n' "$(median repair.times 1)" \
        "$(mib "$(maximum repair.times 2)")"
fi
# Timings vary with the machine's load, so a ratio above its target is told, not failed.
if [ "$judge" = 1 ]; then
    [ ${#above[@]} -gt 0 ] || echo "every ratio within its target"
    for line in "${above[@]}"; do echo "above target: $line"; done
fi
rm -rf pieces spent kept-* peer-par2

# seconds OUTPUT: the wall time that parvix-bench-run printed.
seconds() { awk '{printf "%.2f", $1}' "$1"; }
peak_mib() { awk '{printf "%.1f", $2 / 1024}' "$1"; }

# The big source: holes with random blocks where 32-bit positions would go wrong, cut into 1 GiB pieces.
if [ "$big_bytes" -gt 0 ]; then
    gib=1073741824
    big_count=$(((big_bytes + gib - 1) / gib))
    free_bytes=$(df -B1 --output=avail . | tail -1)
    if [ "$free_bytes" -lt $((2 * big_bytes + gib)) ]; then
        echo "big $big cut and join: skipped, needs $((2 * big_bytes + gib)) bytes free, $free_bytes available"
    else
        truncate -s "$big_bytes" big.bin
        for offset in 0 $((2 * gib - 512 * 1024)) $((4 * gib - 512 * 1024)) $((big_bytes - 1048576)); do
            [ "$offset" -ge 0 ] && [ $((offset + 1048576)) -le "$big_bytes" ] || continue
            dd if=/dev/urandom of=big.bin bs=1M count=1 seek="$offset" oflag=seek_bytes conv=notrunc status=none
        done
        mkdir big-pieces
        "$timer" -- "$cli" cut --yes --kb 1048576 big.bin "$scratch/big-pieces/big\$bin" >big-cut.time 2>big.err ||
            fail "cut of the big source: $(cat big.err)"
        big_pieces=()
        for ((k = 1; k <= big_count; k++)); do
            big_pieces+=("big-pieces/$(printf 'big$bin.%03d' "$k")")
            want=$gib
            [ "$k" = "$big_count" ] && want=$((big_bytes - (big_count - 1) * gib))
            [ "$(stat -c %s "${big_pieces[k - 1]}")" = "$want" ] || fail "big piece $k is not $want bytes"
        done
        [ "$(find big-pieces -name 'big$bin.[0-9]*' | wc -l)" = "$big_count" ] || fail "big pieces: count"
        "$timer" -- "$cli" join --yes "$scratch/big-joined" "${big_pieces[@]}" >big-join.time 2>big.err ||
            fail "join of the big pieces: $(cat big.err)"
        cmp -s big.bin big-joined || fail "the big source joined back differs"
        echo "big $big cut into $big_count pieces of 1 GiB and joined back byte for byte: cut s: $(seconds big-cut.time)," \
            "join s: $(seconds big-join.time), peak RSS MiB: $(peak_mib big-cut.time) and $(peak_mib big-join.time)"
        rm -rf big.bin big-pieces big-joined
    fi
fi

# cut_kb1 NAME N: cuts a file of N KiB at 1 KB into folder NAME, checks the pieces, the listed join list
# and Link.bat, and leaves the cut's timing in NAME.time.
cut_kb1() {
    local name=$1 n=$2
    head -c $((n * 1024)) /dev/urandom >"$name.bin"
    mkdir "$name"
    "$timer" --stdout "$name.list" -- "$cli" cut --yes --kb 1 "$name.bin" "$scratch/$name/$name\$bin" \
        >"$name.time" 2>"$name.err" || fail "cut of $name.bin at 1 KB: $(cat "$name.err")"
    [ "$(find "$name" -name "$name\$bin.[0-9]*" | wc -l)" = "$n" ] || fail "$name: not $n pieces"
    # The join list, then the proposed join destination.
    awk -v dir="$scratch/$name/$name\$bin" -v n="$n" -v dest="$scratch/$name/$name.bin" '
        NR <= n { want = sprintf("%s.%03d", dir, NR); if ($0 != want) { print "entry " NR ": " $0; exit 1 } }
        END { if (NR != n + 1) { print NR " lines"; exit 1 } if ($0 != dest) { print "destination " $0; exit 1 } }' \
        "$name.list" >"$name.err" || fail "$name: the join list: $(cat "$name.err")"
    [ "$(grep -o "\"$name\\\$bin\.[0-9]*\"" "$name/Link.bat" | wc -l)" = "$n" ] || fail "$name: Link.bat does not list $n pieces"
}

# window_vs_cli PLATFORM LABEL: the cut of many.bin at 1 KB through the window (offscreen, or on Xvfb
# with its window pinged throughout), alternating with parvix-cli over two runs each.
window_vs_cli() {
    local platform=$1 label=$2 run who folder
    : >"window-$platform.times"
    : >"window-$platform-cli.times"
    : >"window-$platform.pings"
    for ((run = 1; run <= 2; run++)); do
        for who in window cli; do
            [ "$run" = 2 ] && who=$([ "$who" = window ] && echo cli || echo window)
            folder=many-$platform-$who-$run
            mkdir "$folder"
            sync
            if [ "$who" = window ]; then
                if [ "$platform" = x11 ]; then
                    "$root/bench/window-x11.sh" "$windowed" "$scratch/many.bin" "$scratch/$folder/many\$bin" 1 \
                        >"$folder.out" 2>"$folder.err" || fail "cut through the window on X11: $(cat "$folder.err")"
                    # A cut of many thousands of pieces lasts long enough for its window to be pinged.
                    awk -v many="$many" '/^ping: / && ($3 > 0 || many < 10000) {found = 1} END {exit !found}' \
                        "$folder.out" || fail "the window on X11 was not pinged: $(grep '^ping: ' "$folder.out")"
                    awk '/^ping: / {print $7, $3, $5}' "$folder.out" >>"window-$platform.pings"
                    awk '/^ping: / && $5 < $3 - 1 {exit 1}' "$folder.out" ||
                        fail "the window on X11 left pings unanswered: $(grep '^ping: ' "$folder.out")"
                else
                    QT_QPA_PLATFORM=offscreen "$windowed" "$scratch/many.bin" "$scratch/$folder/many\$bin" 1 \
                        >"$folder.out" 2>"$folder.err" || fail "cut through the window: $(cat "$folder.err")"
                fi
                grep -qx "entries $many" "$folder.out" || fail "cut through the window: $(grep entries "$folder.out")"
                awk '/^window cut seconds/ {print $4}' "$folder.out" >>"window-$platform.times"
            else
                "$timer" -- "$cli" cut --yes --kb 1 many.bin "$scratch/$folder/many\$bin" >"$folder.out" \
                    2>"$folder.err" || fail "cut of many.bin: $(cat "$folder.err")"
                cat "$folder.out" >>"window-$platform-cli.times"
            fi
            [ "$(find "$folder" -name 'many$bin.[0-9]*' | wc -l)" = "$many" ] || fail "$folder: not $many pieces"
            cmp -s "$folder/Link.bat" many/Link.bat || fail "$folder: Link.bat differs from the first cut's"
            retire "$folder"
        done
    done
    printf 'window cut%s of %s pieces median s: %.3f (runs: %s), parvix-cli: %.3f (runs: %s)\n' "$label" "$many" \
        "$(median "window-$platform.times" 1)" "$(list "window-$platform.times")" \
        "$(median "window-$platform-cli.times" 1)" "$(list "window-$platform-cli.times")"
    echo "window cut ratio vs cli$label: $(ratio "$(median "window-$platform.times" 1)" "$(median "window-$platform-cli.times" 1)")"
}

if [ "$many" -gt 0 ]; then
    cut_kb1 many "$many"
    "$lister" join "many/many\$bin.001" "$scratch/many-joined" >many.join 2>many.err || fail "join of many pieces: $(cat many.err)"
    grep -qx "entries $many" many.join || fail "Add of many pieces: $(head -1 many.join)"
    # One progress value per piece, and the 0 before and after.
    grep -qx "progress values $((many + 2))" many.join || fail "join of many pieces: $(grep progress many.join)"
    cmp -s many.bin many-joined || fail "many pieces joined back differ"
    echo "$many pieces of 1 KB: cut s: $(seconds many.time) (Link.bat of $(wc -l <many/Link.bat) lines)," \
        "join list of $many entries, add s: $(awk '/^add seconds/ {print $3}' many.join)," \
        "join s: $(awk '/^join seconds/ {print $3}' many.join), joined back byte for byte"
    many_add=$(awk '/^add seconds/ {print $3}' many.join)
    rm -rf many-joined

    # The same cut through the window, offscreen and on an X server, alternating with parvix-cli.
    if [ "$window" = 1 ] && [ -x "$windowed" ]; then
        window_vs_cli offscreen ""
        if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
            window_vs_cli x11 " (X11)"
            echo "window cut longest ping silence ms (X11): $(maximum window-x11.pings 1)"
        else
            echo "window cut ratio vs cli (X11): not measured, xvfb-run or xdotool is missing"
        fi
    elif [ "$window" = 1 ]; then
        echo "window cut ratio vs cli: not measured, $windowed was not built (no Qt 6, or no main window yet)"
    fi
    rm -rf many many.bin spent
fi

if [ "$add" -gt 0 ]; then
    cut_kb1 add "$add"
    "$lister" add "add/add\$bin.001" >add.out 2>add.err || fail "Add: $(cat add.err)"
    grep -qx "entries $add" add.out || fail "Add: $(head -1 add.out)"
    add_seconds=$(awk '/^add seconds/ {print $3}' add.out)
    echo "add $add pieces s: $add_seconds"
    if [ "$many" -gt 0 ]; then
        # Linear in the number of pieces: the cost per piece stays flat from one size to the other.
        awk -v a="$add_seconds" -v n="$add" -v b="$many_add" -v m="$many" -v c="$(seconds add.time)" \
            -v d="$(seconds many.time)" 'BEGIN {
            printf "add per piece us: %.2f (%d pieces), %.2f (%d pieces)\n", a * 1e6 / n, n, b * 1e6 / m, m
            printf "cut per piece us: %.1f (%d pieces), %.1f (%d pieces)\n", c * 1e6 / n, n, d * 1e6 / m, m }'
    fi
    rm -rf add add.bin
fi
