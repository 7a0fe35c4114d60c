#!/usr/bin/env bash
# Times kestro-cli duplicates over volumes catalogued by the real cataloguing
# run: the duplicates of all volumes, and the single copies of one volume
# against all the others. Medians of 3 runs, output to /dev/null.
#
#   bench/duplicates-bench.sh ROOT [FILES] [VOLUMES]
#
# ROOT is an empty folder on a RAM disk with room for FILES/VOLUMES files at
# a time (default 1,000,000 files in 10 volumes). Each tree is made with
# make-volume.py, catalogued into ROOT/duplicates.mdb and deleted. Volumes 1
# to VOLUMES-2 have seeds of their own; the last two repeat the seeds of
# volumes 1 and 2, so a fifth of the files have copies on another volume.
# The catalog is kept for another run: delete ROOT's contents to start afresh.
set -euo pipefail

root=${1:?usage: duplicates-bench.sh ROOT [FILES] [VOLUMES]}
files=${2:-1000000}
volumes=${3:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
make_volume=
for candidate in "$here/../shared/bench" "$here/../../shared/bench"; do
    [ -f "$candidate/make-volume.py" ] && make_volume=$candidate/make-volume.py && break
done
[ -n "$make_volume" ] || { echo "cannot find make-volume.py beside the project" >&2; exit 1; }

cmake --build --preset default --target kestro-cli >/dev/null
cli=$here/build/bin/kestro-cli
home=$root/home
catalog=$root/duplicates.mdb
mkdir -p "$home"

if [ ! -f "$catalog" ]; then
    "$cli" new --home "$home" "$catalog.new" >/dev/null
    for ((v = 1; v <= volumes; v++)); do
        seed=$v
        ((v > volumes - 2 && volumes > 2)) && seed=$((v - volumes + 2))
        python3 "$make_volume" --root "$root/tree" --files $((files / volumes)) --seed "$seed"
        "$cli" catalog --home "$home" --catalog "$catalog.new" --name "Volume $v" \
            "$root/tree" >/dev/null
        rm -rf "$root/tree"
    done
    mv "$catalog.new" "$catalog"
fi

# median_seconds ARGS...: the median wall time of three runs of duplicates.
median_seconds() {
    local times=()
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        "$cli" duplicates --home "$home" --catalog "$catalog" "$@" >/dev/null 2>"$root/err"
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 2p
}

echo "catalog: $files files in $volumes volumes"
echo "load: $(uptime | sed 's/.*load average: //')"
echo "duplicates over all volumes: $(median_seconds) s ($(cat "$root/err"))"
echo "load: $(uptime | sed 's/.*load average: //')"
echo "single copies of Volume 3 against the rest: $(median_seconds --only-on "Volume 3") s" \
    "($(cat "$root/err"))"
echo "load: $(uptime | sed 's/.*load average: //')"
