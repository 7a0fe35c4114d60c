#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (and
# clang with libFuzzer for the fuzz targets, llvm for their stack traces), and
# only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev libsqlite3-dev libblkid-dev
  googletest libgtest-dev
  postgresql postgresql-contrib libpq-dev
  shared-mime-info adwaita-icon-theme fonts-dejavu-core
  dosfstools xorriso mtools xvfb python3
  eject
  desktop-file-utils appstream
  dpkg-dev file lintian man-db bash-completion
  clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
