#!/usr/bin/env bash
# Times the name index over catalogs of VOLUMES volumes of make-volume.py
# trees, FILES files in all:
#   - cataloguing each volume with kestro-cli, into a catalog with the index
#     and into one without it (a catalog made before the index), beside
#     `find -printf` over the same tree, and the two catalogs' sizes;
#   - the time to build the index of every volume afresh;
#   - name searches in the library (name-index-bench): rare, common, two
#     characters, and patterns that fall back to reading every row, through
#     the index and by reading every row;
#   - `kestro-cli search --name` end to end beside `plocate -i -b` over the
#     same trees (plocate's databases made by updatedb), medians of 15 runs;
#   - the same names in the find tool's window (bench_search_window), and
#     "Search as You Type" keystroke by keystroke.
#
#   bench/name-index-bench.sh ROOT [FILES:VOLUMES[:SEED] ...]   (default 1000000:10 10000000:10)
#
# Volume v of a set is made with --seed SEED+v-1 (SEED 1 unless given): one
# volume of 1,000,000 files made with seed 5 is 1000000:1:5.
#
# ROOT is a folder on a disk with room for the catalogs (about 3 GB per
# 10,000,000 files with the index, as much again without). The trees are made
# one at a time under $BENCH_TREES (default /dev/shm/kestro-name-index) and
# deleted once catalogued: memory needs room for one volume's tree. A set whose
# catalogs are in ROOT already is not made again: delete ROOT's contents to
# start afresh.
set -euo pipefail

root=${1:?usage: name-index-bench.sh ROOT [FILES:VOLUMES ...]}
shift
sets=("$@")
[ ${#sets[@]} -gt 0 ] || sets=(1000000:10 10000000:10)
here=$(cd "$(dirname "$0")/.." && pwd)
trees=${BENCH_TREES:-/dev/shm/kestro-name-index}
make_volume=$(cd "$here/../shared/bench" 2>/dev/null && pwd)/make-volume.py
[ -f "$make_volume" ] || { echo "cannot find make-volume.py beside the project" >&2; exit 1; }
for tool in updatedb plocate python3; do
    command -v $tool >/dev/null || { echo "needs $tool" >&2; exit 1; }
done

cmake --build --preset default --target kestro-cli name-index-bench bench_search_window >/dev/null
cli=$here/build/bin/kestro-cli
bench=$here/build/bin/name-index-bench
mkdir -p "$root"
root=$(cd "$root" && pwd)

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
seconds() { # seconds of one run of a command, its output dropped
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}
mb() { awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1e6 }'; }

rare=(IMG_0001 DSC_4242 "*Track_0042.mp3")
common=(report "*.mp3" photo)
short=(mp)
fallback=(q "*.*")

for set in "${sets[@]}"; do
    IFS=: read -r files volumes seed <<<"$set"
    seed=${seed:-1}
    dir=$root/$files-$volumes-$seed
    home=$dir/home
    mkdir -p "$home"
    echo "== $volumes volumes, $files files in all (uptime: $(uptime | sed 's/.*load/load/'))"
    if [ ! -f "$dir/done" ]; then
        rm -f "$dir"/*.mdb "$dir"/*.db "$dir"/times
        "$cli" new --home "$home" "$dir/with.mdb" >/dev/null
        "$cli" new --home "$home" "$dir/without.mdb" >/dev/null
        python3 - "$dir/without.mdb" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
for table in ("name_index_segments", "name_index_blocks", "name_index_grams"):
    db.execute(f"DROP TABLE {table}")
db.commit()
PY
        for ((v = 1; v <= volumes; v++)); do
            tree=$trees/v$v
            rm -rf "$tree"
            mkdir -p "$trees"
            python3 "$make_volume" --root "$tree" --files $((files / volumes)) --seed $((seed + v - 1)) 2>/dev/null
            find_s=$(seconds find -H "$tree" -printf '%h\t%f\t%s\t%T@\n')
            with_s=$(seconds "$cli" catalog --home "$home" --catalog "$dir/with.mdb" --name "Volume $v" "$tree")
            without_s=$(seconds "$cli" catalog --home "$home" --catalog "$dir/without.mdb" --name "Volume $v" "$tree")
            updatedb -U "$tree" -o "$dir/plocate-$v.db" -l no --prunefs "" --prunepaths "" --prunenames ""
            echo "$find_s $with_s $without_s $(uptime | sed 's/.*average: //; s/,.*//')" >>"$dir/times"
            rm -rf "$tree"
        done
        touch "$dir/done"
    fi
    echo "-- cataloguing, per volume of $((files / volumes)) files (medians of $volumes volumes)"
    printf '%10s %12s %12s %9s %9s %14s %14s %8s\n' "find s" "with index s" "without s" "with/find" \
        "w/o/find" "with index MB" "without MB" "index %"
    find_s=$(cut -d' ' -f1 "$dir/times" | median)
    with_s=$(cut -d' ' -f2 "$dir/times" | median)
    without_s=$(cut -d' ' -f3 "$dir/times" | median)
    printf '%10.2f %12.2f %12.2f %9.2f %9.2f %14s %14s %8s\n' "$find_s" "$with_s" "$without_s" \
        "$(awk -v a="$with_s" -v b="$find_s" 'BEGIN { print a / b }')" \
        "$(awk -v a="$without_s" -v b="$find_s" 'BEGIN { print a / b }')" \
        "$(mb "$dir/with.mdb")" "$(mb "$dir/without.mdb")" \
        "$(awk -v a="$(stat -c %s "$dir/with.mdb")" -v b="$(stat -c %s "$dir/without.mdb")" 'BEGIN { printf "%.1f", 100 * (a - b) / b }')"
    echo "   load during the runs: $(cut -d' ' -f4 "$dir/times" | median) (median)"
    "$bench" index "$dir/with.mdb"

    echo "-- searches in the library, through the index"
    "$bench" search "$dir/with.mdb" "${rare[@]}" "${common[@]}" "${short[@]}" "${fallback[@]}"
    echo "-- the same by reading every row (the catalog without the index)"
    "$bench" search "$dir/without.mdb" "${rare[@]}" "${common[@]}" "${short[@]}" "${fallback[@]}"

    echo "-- end to end, medians of 15 runs: kestro-cli search --name P, plocate -i -b P"
    databases=$(ls "$dir"/plocate-*.db | paste -sd:)
    python3 - "$cli" "$home" "$dir/with.mdb" "$databases" "${rare[@]}" "${common[@]}" <<'PY'
import statistics, subprocess, sys, time
cli, home, catalog, databases, *patterns = sys.argv[1:]
def run(command):
    times = []
    for _ in range(15):
        start = time.perf_counter()
        out = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times), out.count(b"\n")
print("%-20s %14s %8s %12s %8s %8s" % ("pattern", "kestro-cli ms", "rows", "plocate ms", "rows", "ratio"))
for p in patterns:
    k, krows = run([cli, "search", "--home", home, "--catalog", catalog, "--name", p])
    # plocate's -b matches base names, like --name; a pattern with a "*"
    # is a glob to plocate and must match the whole name, as it does here.
    l, lrows = run(["plocate", "-d", databases, "-i", "-b", p])
    print("%-20s %14.1f %8d %12.1f %8d %8.1f" % ('"' + p + '"', k, krows, l, lrows, k / l))
PY

    echo "-- the find tool's window"
    "$here/build/bin/bench_search_window" "$dir/with.mdb" "$home" --typed report \
        "${rare[@]}" "${common[@]}" 2>/dev/null
done
rm -rf "$trees"
