#!/usr/bin/env bash
# The cost of the change report: catalogs a synthetic volume, changes 1% of
# its files (a third resized, a third given another date, a sixth removed,
# and as many added), then times the re-catalog of the changed tree with
# this tree's kestro-cli (which records the report) and with a build that
# does not ($BASE_CLI, e.g. main's from before the report), each starting
# from a copy of the same first catalog.
#
#   BASE_CLI=/path/to/old/kestro-cli bench/change-report-bench.sh [FILES ...]
#                                                      (default: 1000000)
#
# The tree is made by ../shared/bench/make-volume.py under $BENCH_TREES
# (default /dev/shm/kestro-changes-bench, a tmpfs) and removed at the end,
# since it is changed. Each figure is the median of $BENCH_RUNS runs
# (default 3); the load average is printed beside it.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=${KESTRO_CLI:-$here/build/bin/kestro-cli}
base=${BASE_CLI:?"BASE_CLI names a kestro-cli built without the change report"}
make_volume=$(cd "$here/../shared/bench" 2>/dev/null && pwd)/make-volume.py
trees=${BENCH_TREES:-/dev/shm/kestro-changes-bench}
runs=${BENCH_RUNS:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000000)

[ -n "${KESTRO_CLI:-}" ] || cmake --build --preset default --target kestro-cli >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-changes-bench.XXXXXX")
trap 'rm -rf "$work" "$trees"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
seconds() { /usr/bin/time -f %e "$@" 2>&1 >/dev/null | tail -1; }

# Changes 1% of the files of the tree, the same ones for the same tree.
change() {
    python3 - "$1" <<'PY'
import os, random, sys
root = sys.argv[1]
files = sorted(os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if f != "Kestro.cat")
pick = random.Random(1).sample(files, len(files) // 100)
sixth = len(pick) // 6
for i, path in enumerate(pick):
    if i < sixth:
        os.remove(path)
    elif i < 2 * sixth:
        open(path + ".new", "w").close()
    elif i < 2 * sixth + (len(pick) - 2 * sixth) // 2:
        os.truncate(path, os.path.getsize(path) + 1_000_000)
    else:
        st = os.stat(path)
        os.utime(path, (st.st_atime, st.st_mtime - 86400))
print(len(pick))
PY
}

printf '%-9s %8s %13s %16s %7s %s\n' files changed "without s" "with report s" extra "load"
for files in "${sizes[@]}"; do
    tree=$trees/v$files
    rm -rf "$tree"
    mkdir -p "$trees"
    python3 "$make_volume" --root "$tree" --files "$files" --seed 1 >/dev/null 2>&1
    mkdir -p "$work/first"
    cp "$(dirname "$cli")/new.kst" "$work/first/" 2>/dev/null || true
    "$cli" new --home "$work/first" "$work/first/default.mdb" >/dev/null
    "$cli" catalog "$tree" --home "$work/first" --name "bench" >/dev/null 2>&1
    changed=$(change "$tree")
    : >"$work/without"; : >"$work/with"
    for ((run = 1; run <= runs; run++)); do
        for kind in without with; do
            rm -rf "$work/$kind-home" && cp -r "$work/first" "$work/$kind-home"
            program=$cli; [ "$kind" = without ] && program=$base
            seconds "$program" catalog "$tree" --home "$work/$kind-home" >>"$work/$kind"
        done
    done
    without=$(median <"$work/without"); with=$(median <"$work/with")
    printf '%-9s %8s %13s %16s %6.1f%% %s\n' "$files" "$changed" "$without" "$with" \
        "$(echo "($with - $without) * 100 / $without" | bc -l)" "$(cut -d' ' -f1-3 /proc/loadavg)"
    rm -rf "$tree" "$work/first"
done
