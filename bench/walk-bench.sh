#!/bin/bash
# Times the listing writer against find over the same tree, side by side.
#
#   bench/walk-bench.sh ROOT [RUNS] [THREADS]
#
# ROOT is any folder, e.g. one made by ../shared/bench/make-volume.py on a
# RAM disk. The two programs run in turns, RUNS times each (default 5); the
# least and the median wall time of each are shown, with the writer's peak
# resident memory. The listings go to a scratch folder under $WALK_BENCH_OUT
# (default /dev/shm) and are deleted. THREADS is passed to the writer (0 or
# nothing: its own choice). The driver is build/bin/walk-bench, or $WALK_BENCH.
set -euo pipefail

root=${1:?usage: walk-bench.sh ROOT [RUNS] [THREADS]}
runs=${2:-5}
threads=${3:-0}
here=$(cd "$(dirname "$0")/.." && pwd)
driver=${WALK_BENCH:-$here/build/bin/walk-bench}
[ -x "$driver" ] || { echo "no driver at $driver; build the walk-bench target" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }

out=$(mktemp -d "${WALK_BENCH_OUT:-/dev/shm}/walk-bench.XXXXXX")
trap 'rm -rf "$out"' EXIT

# Prints "seconds peak-kilobytes" of one run of the command given.
measure() {
    /usr/bin/time -f "%e %M" -o "$out/time" "$@" >/dev/null
    cat "$out/time"
}

for ((run = 1; run <= runs; run++)); do
    measure find "$root" -printf '%h\t%f\t%s\t%T@\n' | sed 's/^/find /'
    measure "$driver" "$root" "$out" "$threads" | sed 's/^/writer /'
done >"$out/runs"
summary=$("$driver" "$root" "$out" "$threads")

echo "tree: $root"
echo "      $summary"
echo "runs: $runs of each, in turns"
awk '
    { seconds[$1, ++count[$1]] = $2; if ($3 > peak[$1]) peak[$1] = $3 }
    function least(kind,    i, m) { m = seconds[kind, 1]; for (i = 2; i <= count[kind]; i++) if (seconds[kind, i] < m) m = seconds[kind, i]; return m }
    function median(kind,    i, j, n, v, t) {
        n = count[kind]; for (i = 1; i <= n; i++) v[i] = seconds[kind, i]
        for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    END {
        printf "%-26s %9s %9s %12s\n", "", "least s", "median s", "peak RSS"
        printf "%-26s %9.2f %9.2f %9.1f MB\n", "find -printf", least("find"), median("find"), peak["find"] / 1024
        printf "%-26s %9.2f %9.2f %9.1f MB\n", "listing writer", least("writer"), median("writer"), peak["writer"] / 1024
        printf "%-26s %9.2f %9.2f\n", "writer / find", least("writer") / least("find"), median("writer") / median("find")
    }' "$out/runs"
