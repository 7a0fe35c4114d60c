#!/usr/bin/env bash
# Catalogs synthetic volumes end to end with kestro-cli and prints, side by
# side: the time of `find -printf` and of plocate's updatedb over the same
# tree; the time of the cataloguing run and its ratio to find; the time of a
# second cataloguing of the same tree with 1,000 descriptions to carry over;
# the run's peak memory; the catalog file's size after the first run and
# after the second, with the pages the second left free; then each step of
# the first run (walk with the file import alongside, folder import, the
# file lines left after the walk, indexes and commit); then where the bytes
# of the catalog go after the first run.
#
#   bench/catalog-bench.sh [FILES ...]        (default: 100000 1000000)
#
# $BENCH_CLIS names the kestro-cli programs to compare in the same run
# (default: $KESTRO_CLI, else this build's), each run in turn on the same
# tree, so that a change can be measured against the program before it under
# the same load.
# Trees are made once by ../shared/bench/make-volume.py (seed 5) under
# $BENCH_TREES (default /dev/shm/kestro-bench, a tmpfs) and kept for the next
# run; the program folders and catalogs go to a scratch folder on disk under
# $TMPDIR. Each figure is the median of $BENCH_RUNS runs (default 3).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
make_volume=$(cd "$here/../shared/bench" 2>/dev/null && pwd)/make-volume.py
trees=${BENCH_TREES:-/dev/shm/kestro-bench}
runs=${BENCH_RUNS:-3}
read -r -a clis <<<"${BENCH_CLIS:-${KESTRO_CLI:-$here/build/bin/kestro-cli}}"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1000000)

[ -n "${BENCH_CLIS:-}${KESTRO_CLI:-}" ] || cmake --build --preset default --target kestro-cli >/dev/null
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }
command -v updatedb >/dev/null || { echo "needs updatedb (package plocate)" >&2; exit 1; }
[ -f "$make_volume" ] || { echo "cannot find make-volume.py beside the project" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# A program's path shortened to its last 44 characters.
label() { local p=$1; [ ${#p} -le 44 ] || p=...${p: -41}; echo "$p"; }
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Prints "seconds peak-kilobytes" of one run of the command given; its
# standard error is kept in $work/stderr.
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" ||
        { cat "$work/stderr" >&2; exit 1; }
    cat "$work/time"
}

# The steps of a run from its --timings lines: the walk with the file import
# beside it, the folder import, the file lines left after the walk, and the
# rest (indexes, descriptions carried over, commit).
phases() {
    awk '{ t = $1; $1 = ""; s = substr($0, 2) }
         s == "Recursing Volume..." { walk = t }
         s == "Importing Directories..." { dirs = t }
         s == "Importing Files..." { files = t }
         s == "<idle>" && files && !filesEnd { filesEnd = t }
         s == "<idle>" && dirs && !dirsEnd { dirsEnd = t }
         s == "end" { end = t }
         END { printf "%.2f %.2f %.2f %.2f\n", dirs - walk, dirsEnd - dirs, filesEnd - files, end - filesEnd }' "$1"
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

# "kept free-bytes": descriptions carried over, and bytes on the free list.
recatalogued() {
    python3 - "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
(table,) = db.execute('SELECT tablename FROM "index"').fetchone()
kept = sum(db.execute(f'SELECT count(*) FROM "{table}{s}" WHERE thedescription IS NOT NULL').fetchone()[0]
           for s in ("_files", "_dirs"))
free = db.execute('PRAGMA freelist_count').fetchone()[0] * db.execute('PRAGMA page_size').fetchone()[0]
print(kept, free)
PY
}

# Where the bytes of a catalog go: pages of the volume tables, of their
# lookup indexes (catalogs of earlier programs), of the folder runs and of the
# name index, and the share of them left unused.
bytes_of() {
    python3 - "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
groups = {}
for name, size, unused in db.execute('SELECT name, sum(pgsize), sum(unused) FROM dbstat GROUP BY name'):
    group = ('name index' if name.startswith('name_index') else
             'folder runs' if name.startswith('folder_run') else
             'lookup indexes' if name.endswith('_lookup') else
             'folder table' if name.endswith('_dirs') and not name.startswith('template') else
             'file table' if name.endswith('_files') and not name.startswith('template') else 'other')
    g = groups.setdefault(group, [0, 0])
    g[0] += size; g[1] += unused
print('  '.join(f'{k} {v[0] / 1048576:.1f} MB ({100 * v[1] / max(v[0], 1):.0f}% unused)'
                for k, v in sorted(groups.items(), key=lambda kv: -kv[1][0])))
PY
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg); runs: $runs"
for files in "${sizes[@]}"; do
    tree=$trees/v$files-s5
    if [ ! -d "$tree" ]; then
        mkdir -p "$trees"
        python3 "$make_volume" --root "$tree" --files "$files" --seed 5 2>/dev/null
    fi
    rm -f "$work"/*.txt
    for ((run = 1; run <= runs; run++)); do
        measure find -H "$tree" -printf '%h\t%f\t%s\t%T@\n' | cut -d' ' -f1 >>"$work/find.txt"
        rm -f "$work/locate.db"
        measure updatedb --database-root "$tree" --output "$work/locate.db" --prunefs "" \
            --prunepaths "" --prunenames "" --require-visibility no | cut -d' ' -f1 >>"$work/updatedb.txt"
        for c in "${!clis[@]}"; do
            home=$work/home-$files-$c
            rm -rf "$home" && mkdir -p "$home"
            cp "$(dirname "${clis[$c]}")/new.kst" "$home/" 2>/dev/null || true
            "${clis[$c]}" new --home "$home" "$home/default.mdb" >/dev/null
            # A program from before --timings gives its total only.
            timings=()
            "${clis[$c]}" catalog --help | grep -q -- --timings && timings=(--timings)
            read -r seconds peak < <(measure "${clis[$c]}" catalog "$tree" --home "$home" --name "bench $files" "${timings[@]}")
            echo "$seconds" >>"$work/catalog-$c.txt"
            echo "$peak" >>"$work/peak-$c.txt"
            phases "$work/stderr" >>"$work/phases-$c.txt"
            stat -c %s "$home/default.mdb" >>"$work/size-$c.txt"
            [ "$run" -gt 1 ] || bytes_of "$home/default.mdb" >"$work/bytes-$c.txt"
            describe "$home/default.mdb"
            read -r seconds peak < <(measure "${clis[$c]}" catalog "$tree" --home "$home")
            echo "$seconds" >>"$work/recatalog-$c.txt"
            echo "$peak" >>"$work/peak-$c.txt"
            stat -c %s "$home/default.mdb" >>"$work/resize-$c.txt"
            recatalogued "$home/default.mdb" >>"$work/kept-$c.txt"
        done
    done
    du -b "$work/locate.db" | cut -f1 >"$work/locate-size.txt"

    find_s=$(median <"$work/find.txt")
    echo
    echo "$files files; find -printf $find_s s; updatedb $(median <"$work/updatedb.txt") s," \
        "locate database $(mb "$(cat "$work/locate-size.txt")") MB; load now: $(cut -d' ' -f1-3 /proc/loadavg)"
    printf '  %-44s %9s %6s %11s %6s %7s %8s %10s %8s %10s\n' program "catalog s" "/find" "recatalog s" "/find" \
        "peak MB" "file MB" "re-cat MB" "free MB" kept/given
    for c in "${!clis[@]}"; do
        catalog_s=$(median <"$work/catalog-$c.txt")
        recatalog_s=$(median <"$work/recatalog-$c.txt")
        printf '  %-44s %9.2f %6s %11.2f %6s %7s %8s %10s %8s %10s\n' "$(label "${clis[$c]}")" "$catalog_s" \
            "$(ratio "$catalog_s" "$find_s")" "$recatalog_s" "$(ratio "$recatalog_s" "$find_s")" \
            "$(awk '{ if ($1 > m) m = $1 } END { printf "%.1f", m / 1024 }' "$work/peak-$c.txt")" \
            "$(mb "$(median <"$work/size-$c.txt")")" "$(mb "$(median <"$work/resize-$c.txt")")" \
            "$(mb "$(cut -d' ' -f2 "$work/kept-$c.txt" | median)")" "$(cut -d' ' -f1 "$work/kept-$c.txt" | median)/1000"
    done
    echo "  steps of the first run (s): walk, with the file import alongside | folder import | file lines left | indexes and commit"
    for c in "${!clis[@]}"; do
        printf '  %-44s' "$(label "${clis[$c]}")"
        for field in 1 2 3 4; do
            printf ' %8.2f' "$(cut -d' ' -f$field "$work/phases-$c.txt" | median)"
        done
        echo
        echo "    bytes: $(cat "$work/bytes-$c.txt")"
    done
done
