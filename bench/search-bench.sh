#!/usr/bin/env bash
# Times the search and the export over volumes catalogued by the real
# cataloguing run.
#
#   bench/search-bench.sh ROOT [FILES] [VOLUMES]
#
# ROOT is an empty folder on a RAM disk with room for FILES files (default
# 1,000,000; a tmpfs of 6 GB is plenty). The script makes, with
# make-volume.py, VOLUMES trees (default 10) of FILES/VOLUMES files each and
# catalogs them with kestro-cli into ROOT/search.mdb, then one tree of FILES
# files into ROOT/export.mdb, deleting each tree once it is catalogued. Then
# build/bin/search-bench times searches over the first catalog and the CSV
# export of the big volume (to ROOT/out), and build/bin/bench_search_window
# the same names searched in the find tool. The catalogs are kept for another
# run: delete ROOT's contents to start afresh.
set -euo pipefail

root=${1:?usage: search-bench.sh ROOT [FILES] [VOLUMES]}
files=${2:-1000000}
volumes=${3:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
make_volume=
for candidate in "$here/../shared/bench" "$here/../../shared/bench"; do
    [ -f "$candidate/make-volume.py" ] && make_volume=$candidate/make-volume.py && break
done
[ -n "$make_volume" ] || { echo "cannot find make-volume.py beside the project" >&2; exit 1; }

cmake --build --preset default --target kestro-cli search-bench bench_search_window >/dev/null
cli=$here/build/bin/kestro-cli
home=$root/home
mkdir -p "$home" "$root/out"

# catalog CATALOG NAME FILES SEED: a tree made, catalogued as volume NAME, deleted.
catalog() {
    local tree=$root/tree
    [ -f "$1" ] || "$cli" new --home "$home" "$1" >/dev/null
    python3 "$make_volume" --root "$tree" --files "$3" --seed "$4"
    "$cli" catalog --home "$home" --catalog "$1" --name "$2" "$tree" >/dev/null
    rm -rf "$tree"
}

if [ ! -f "$root/search.mdb" ]; then
    for ((v = 1; v <= volumes; v++)); do
        catalog "$root/search.mdb.new" "Volume $v" $((files / volumes)) "$v"
    done
    mv "$root/search.mdb.new" "$root/search.mdb"
fi
if [ ! -f "$root/export.mdb" ]; then
    catalog "$root/export.mdb.new" "Big" "$files" 99
    mv "$root/export.mdb.new" "$root/export.mdb"
fi

echo "search: $volumes volumes, $files files in all; catalog $(du -h "$root/search.mdb" | cut -f1)"
"$here/build/bin/search-bench" search "$root/search.mdb" "$home"
echo "the same in the find tool"
"$here/build/bin/bench_search_window" "$root/search.mdb" "$home" 2>/dev/null
echo "export: one volume of $files files; catalog $(du -h "$root/export.mdb" | cut -f1)"
"$here/build/bin/search-bench" export "$root/export.mdb" "$home" Big "$root/out"
rm -f "$root/out/"*
