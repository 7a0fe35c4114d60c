#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestro Pro from the build tree,
# which serves as its own program folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
exec build/bin/kestro "$@"
