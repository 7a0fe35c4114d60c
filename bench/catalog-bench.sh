#!/usr/bin/env bash
# Catalogs synthetic volumes end to end with kestro-cli and prints, side by
# side, the time of that run and of `find -printf` over the same tree, their
# ratio, the run's peak memory, the catalog file's size, and the time of a
# second cataloguing of the same tree with 1,000 descriptions to carry over.
#
#   bench/catalog-bench.sh [FILES ...]        (default: 100000 1000000)
#
# Trees are made once by ../shared/bench/make-volume.py under $BENCH_TREES
# (default /dev/shm/kestro-bench, a tmpfs) and kept for the next run; the
# program folders and catalogs go to a scratch folder on disk under $TMPDIR.
# Each figure is the median of $BENCH_RUNS runs (default 3). $KESTRO_CLI runs
# another build of kestro-cli (an older one, to compare) instead of this tree's.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=${KESTRO_CLI:-$here/build/bin/kestro-cli}
make_volume=$(cd "$here/../shared/bench" 2>/dev/null && pwd)/make-volume.py
trees=${BENCH_TREES:-/dev/shm/kestro-bench}
runs=${BENCH_RUNS:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)

[ -n "${KESTRO_CLI:-}" ] || cmake --build --preset default --target kestro-cli >/dev/null
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }
[ -f "$make_volume" ] || { echo "cannot find make-volume.py beside the project" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Prints "seconds peak-kilobytes" of one run of the command given.
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" ||
        { cat "$work/stderr" >&2; exit 1; }
    cat "$work/time"
}

# Gives 1,000 random files and folders of the volume a description.
describe() {
    python3 - "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
(table,) = db.execute('SELECT tablename FROM "index"').fetchone()
for suffix, count in (("_files", 900), ("_dirs", 100)):
    db.execute(f'UPDATE "{table}{suffix}" SET thedescription = \'bench \' || rowid '
               f'WHERE rowid IN (SELECT rowid FROM "{table}{suffix}" WHERE parent IS NOT NULL '
               f'ORDER BY random() LIMIT {count})')
db.commit()
PY
}

described() {
    python3 - "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
(table,) = db.execute('SELECT tablename FROM "index"').fetchone()
print(sum(db.execute(f'SELECT count(*) FROM "{table}{s}" WHERE thedescription IS NOT NULL').fetchone()[0]
          for s in ("_files", "_dirs")))
PY
}

printf '%-10s %9s %9s %7s %9s %10s %11s %12s\n' files "find s" "catalog s" ratio "peak MB" "catalog MB" "recatalog s" "kept/given"
for files in "${sizes[@]}"; do
    tree=$trees/v$files
    if [ ! -d "$tree" ]; then
        mkdir -p "$trees"
        python3 "$make_volume" --root "$tree" --files "$files" --seed 1 2>/dev/null
    fi
    : >"$work/find"; : >"$work/catalog"; : >"$work/peak"; : >"$work/recatalog"
    for ((run = 1; run <= runs; run++)); do
        measure find -H "$tree" -printf '%h\t%f\t%s\t%T@\n' | cut -d' ' -f1 >>"$work/find"
        home=$work/home-$files-$run
        mkdir -p "$home"
        read -r seconds peak < <(measure "$cli" catalog "$tree" --home "$home" --name "bench $files")
        echo "$seconds" >>"$work/catalog"
        echo "$peak" >>"$work/peak"
        describe "$home/default.mdb"
        measure "$cli" catalog "$tree" --home "$home" | cut -d' ' -f1 >>"$work/recatalog"
    done
    find_s=$(median <"$work/find")
    catalog_s=$(median <"$work/catalog")
    peak_mb=$(awk '{ if ($1 > m) m = $1 } END { printf "%.1f", m / 1024 }' "$work/peak")
    size_mb=$(awk -v b="$(stat -c %s "$home/default.mdb")" 'BEGIN { printf "%.1f", b / 1048576 }')
    printf '%-10s %9.2f %9.2f %7.2f %9s %10s %11.2f %12s\n' "$files" "$find_s" "$catalog_s" \
        "$(awk -v a="$catalog_s" -v b="$find_s" 'BEGIN { print a / b }')" "$peak_mb" "$size_mb" \
        "$(median <"$work/recatalog")" "$(described "$home/default.mdb")/1000"
done
