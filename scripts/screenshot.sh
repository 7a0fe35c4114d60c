#!/usr/bin/env bash
# Takes docs/screenshot.png, the README's picture: Kestro Pro under Xvfb over a
# catalog of real folders (copies of this source tree, of the desktop's icons
# and of the system's fonts and documentation) catalogued by kestro-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kestro-cli window-shot >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-shot.XXXXXX")
trap 'rm -rf "$work"' EXIT
home=$work/home
cli=build/bin/kestro-cli
mkdir -p "$home" "$work/media"

# Copies, since cataloguing writes a marker file into each volume's root.
git archive --format=tar HEAD | (mkdir -p "$work/media/source" && tar -x -C "$work/media/source")
cp -r /usr/share/icons/Adwaita/48x48 "$work/media/icons"
cp -r /usr/share/fonts "$work/media/fonts"
cp -r /usr/share/doc "$work/media/doc"

for volume in "source:KESTRO SOURCE" "icons:Desktop Icons" "fonts:Fonts" "doc:Manuals"; do
  "$cli" catalog --home "$home" --name "${volume#*:}" "$work/media/${volume%%:*}" >/dev/null
done

# A category holding the fonts, and a window laid out for the picture; the
# columns fit what they show.
python3 - "$home" <<'PY'
import sqlite3, sys
home = sys.argv[1]
db = sqlite3.connect(home + "/default.mdb")
db.execute("INSERT INTO categories (key, category) VALUES (1, 'Reference')")
db.execute("UPDATE \"index\" SET category = '1' WHERE name = 'Fonts'")
db.commit()
with open(home + "/Kestro.ini", "a") as ini:
    ini.write("[Environment]\nWindowLeft=0\nWindowTop=0\nWindowWidth=15600\nWindowHeight=9600\n"
              "SplitterLeft=760\n[Options]\noSounds=0\n")
PY

xvfb-run -a -s "-screen 0 1100x700x24" build/bin/window-shot "$home" docs/screenshot.png \
    "KESTRO SOURCE"
echo "docs/screenshot.png written"
