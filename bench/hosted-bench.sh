#!/usr/bin/env bash
# Catalogs a synthetic volume with kestro-cli into a catalog file and into a
# hosted catalog on a PostgreSQL server started for the purpose on this
# machine, and into a hosted catalog in a database without pg_trgm (no name
# index: "plain"), catalogs it again into each and searches each for a name
# no file has with kestro-cli; prints the seconds of each (median of
# $BENCH_RUNS runs, default 3) and the hosted/file ratios. A cataloguing is
# timed to its report, printed once its run has committed, and to its end: a
# hosted catalog's names are indexed in between. Then times, in the
# library (search-bench: the search alone, no process start), searches of
# each catalog for rare names: $BENCH_NAMES (default "*zzqx*", which no file
# has, and "oldsummerinvoice", which a few have).
#
#   bench/hosted-bench.sh [FILES ...]        (default: 100000)
#
# Trees are made once by ../shared/bench/make-volume.py (seed 5) under
# $BENCH_TREES (default /dev/shm/kestro-bench) and kept. The catalog file and
# the server's cluster (default settings, fsync on) both go to a scratch
# folder on disk under $TMPDIR, removed at the end with the server. As root,
# the server runs as nobody.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
make_volume=$(cd "$here/../shared/bench" 2>/dev/null && pwd)/make-volume.py
trees=${BENCH_TREES:-/dev/shm/kestro-bench}
runs=${BENCH_RUNS:-3}
cli=${KESTRO_CLI:-$here/build/bin/kestro-cli}
read -r -a names <<<"${BENCH_NAMES:-*zzqx* oldsummerinvoice}"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000)

[ -n "${KESTRO_CLI:-}" ] || cmake --build --preset default --target kestro-cli >/dev/null
cmake --build --preset default --target search-bench >/dev/null
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
[ -x "$bin/postgres" ] || { echo "needs PostgreSQL (scripts/ensure-packages.sh)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-hosted-bench.XXXXXX")
as_server=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$work"
    as_server=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
"${as_server[@]}" "$bin/initdb" -D "$work/cluster" -U kestro --auth=trust --encoding=UTF8 \
    --locale=C.UTF-8 >/dev/null
"${as_server[@]}" "$bin/postgres" -D "$work/cluster" -k "$work" -c listen_addresses= \
    >"$work/server.log" 2>&1 &
server=$!
trap 'kill -INT $server; wait $server 2>/dev/null; rm -rf "$work"' EXIT
until "$bin/pg_isready" -q -h "$work"; do sleep 0.1; done
socket=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$work")

kinds=(file hosted plain)
catalog_of() {
    case $1 in
    file) echo "$work/c.mdb" ;;
    hosted) echo "postgresql://kestro@$socket/bench" ;;
    plain) echo "postgresql://kestro@$socket/plain" ;;
    esac
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Prints the seconds a command took; its peak memory in MB goes to
# $work/peak, and the seconds until its first line of output (a run's report,
# printed once the run has committed) to $work/first.
seconds() {
    local start
    start=$(date +%s.%N)
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" 2>"$work/stderr" |
        { IFS= read -r _ || true; date +%s.%N >"$work/first-at"; cat >/dev/null; } ||
        { cat "$work/stderr" >&2; exit 1; }
    awk -v s="$start" '{ printf "%.2f\n", $1 - s }' "$work/first-at" >"$work/first"
    awk '{ print $1 }' "$work/time"
    awk '{ printf "%.1f\n", $2 / 1024 }' "$work/time" >"$work/peak"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg); runs: $runs; $("$bin/postgres" --version)"
printf '  %-8s %-7s %10s %10s %13s %10s %16s\n' files catalog "catalog s" "indexed s" \
    "re-catalog s" "search s" "peak MB (re-cat)"
for files in "${sizes[@]}"; do
    tree=$trees/v$files-s5
    if [ ! -d "$tree" ]; then
        mkdir -p "$trees"
        python3 "$make_volume" --root "$tree" --files "$files" --seed 5 2>/dev/null
    fi
    rm -f "$work"/*.txt
    for ((run = 1; run <= runs; run++)); do
        for db in bench plain; do
            "$bin/psql" -q -h "$work" -U kestro -d postgres -c "DROP DATABASE IF EXISTS $db" \
                -c "CREATE DATABASE $db" >/dev/null 2>&1
        done
        home=$work/home && rm -rf "$home" && mkdir -p "$home"
        for kind in "${kinds[@]}"; do
            catalog=$(catalog_of "$kind")
            [ "$kind" = file ] && rm -f "$catalog"
            "$cli" new --home "$home" "$catalog" >/dev/null
            [ "$kind" = plain ] &&
                "$bin/psql" -q -h "$work" -U kestro -d plain -c "DROP EXTENSION pg_trgm" >/dev/null
            for step in catalog recatalog; do
                seconds "$cli" catalog "$tree" --home "$home" --catalog "$catalog" \
                    --name "bench $files" >>"$work/$step-indexed-$kind.txt"
                cat "$work/first" >>"$work/$step-$kind.txt"
                cat "$work/peak" >>"$work/$step-peak-$kind.txt"
            done
            seconds "$cli" search --home "$home" --catalog "$catalog" --name "*zzqx*" \
                >>"$work/search-$kind.txt"
        done
    done
    for kind in "${kinds[@]}"; do
        printf '  %-8s %-7s %10.2f %10.2f %13.2f %10.2f %8.1f (%.1f)\n' "$files" "$kind" \
            "$(median <"$work/catalog-$kind.txt")" "$(median <"$work/catalog-indexed-$kind.txt")" \
            "$(median <"$work/recatalog-$kind.txt")" \
            "$(median <"$work/search-$kind.txt")" "$(median <"$work/catalog-peak-$kind.txt")" \
            "$(median <"$work/recatalog-peak-$kind.txt")"
    done
    ratio() {
        awk -v a="$(median <"$work/$1-hosted.txt")" -v b="$(median <"$work/$1-file.txt")" \
            'BEGIN { printf "%.2f", a / b }'
    }
    echo "  hosted/file: catalog $(ratio catalog), with the names indexed" \
        "$(ratio catalog-indexed), re-catalog $(ratio recatalog)"
    # The catalogs of the last run, searched in the library.
    for kind in "${kinds[@]}"; do
        echo "  $kind, $files files: name, results, first rows s, all s, cpu s (median of 3)"
        for name in "${names[@]}"; do
            "$here/build/bin/search-bench" search "$(catalog_of "$kind")" "$home" "$name" |
                sed 's/^/    /'
        done
    done
done
echo "load now: $(cut -d' ' -f1-3 /proc/loadavg)"
