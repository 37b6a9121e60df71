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
build=$root/build-bench
do_build=1
do_deps=1
parent=
big=5G
many=262144
add=30000
window=1
baseline=
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
    --window) window=1 ;;
    --quick) size=8M runs=1 big=0 many=0 add=0 window=0 ;;
    --baseline) baseline=$2; shift ;;
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

# check_pieces DIR: the right names and sizes, nothing else but Link.bat, and the source's bytes.
check_pieces() {
    local dir=$1
    (cd "$dir" && stat -c '%n %s' -- "${names[@]}") | cmp -s - "$expected_sizes" || fail "pieces in $dir: names or sizes"
    local extra
    extra=$(find "$dir" -mindepth 1 ! -name 'src$bin.[0-9]*' ! -name Link.bat ! -name 'src$bin.crc' | head -1)
    [ -z "$extra" ] || fail "unexpected file $extra"
    [ "$(find "$dir" -mindepth 1 -name 'src$bin.[0-9]*' | wc -l)" = "$count" ] || fail "pieces in $dir: count"
    (cd "$dir" && cat -- "${names[@]}") | cmp -s - src.bin || fail "pieces in $dir: bytes differ from the source"
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

cut_parvix() {
    mkdir cut-parvix
    timed cut-parvix "$cli" cut --yes src.bin "$scratch/cut-parvix/src\$bin"
    check_pieces cut-parvix
    [ -f cut-parvix/Link.bat ] || fail "Link.bat is missing"
    [ "$(grep -o '"src\$bin\.[0-9]*"' cut-parvix/Link.bat | wc -l)" = "$count" ] || fail "Link.bat does not list every piece"
    [ "$(sed -n 2p cut-parvix/src\$bin.crc)" = $'size='"$bytes"$'\r' ] || fail "the check file does not give the size"
    retire cut-parvix
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
        cut_parvix; cut_split; cut_split_sync; cut_baseline; join_parvix; join_cat; join_cat_sync; join_baseline
    else
        cut_baseline; cut_split_sync; cut_split; cut_parvix; join_baseline; join_cat_sync; join_cat; join_parvix
    fi
done

list() { awk '{printf "%s%.3f", (NR > 1 ? " " : ""), $1}' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
labels=(cut-parvix cut-split cut-split-sync join-parvix join-cat join-cat-sync)
[ -n "$baseline_cli" ] && labels+=(cut-baseline cut-baseline-sync join-baseline join-baseline-sync)
for label in "${labels[@]}"; do
    printf '%-18s median s: %.3f (runs: %s; CPU median s: %.3f)\n' "$label" "$(median "$label.times" 1)" \
        "$(list "$label.times")" "$(median "$label.times" 3)"
done
# parvix-cli's cut and join are on the disk when they end; the plain split and cat are not.
echo "cut ratio vs split: $(ratio "$(median cut-parvix.times 1)" "$(median cut-split.times 1)")"
echo "join ratio vs cat: $(ratio "$(median join-parvix.times 1)" "$(median join-cat.times 1)")"
echo "cut ratio vs split && sync: $(ratio "$(median cut-parvix.times 1)" "$(median cut-split-sync.times 1)")"
echo "join ratio vs cat && sync: $(ratio "$(median join-parvix.times 1)" "$(median join-cat-sync.times 1)")"
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
echo "peak RSS limit MiB (one piece + 16 MiB): $(mib $(((piece >> 10) + 16 * 1024)))"
rm -rf pieces spent

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
