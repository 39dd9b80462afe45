#!/bin/bash
# Makes the README's editor pictures with corvina-snapshot: the three pages and the
# preset, block and parameter boxes of three factory presets on different skins.
#   docs/editor-shots.sh BUILD_DIR OUT_DIR
set -e
S=$1/tools/snapshot/corvina-snapshot
OUT=$2
for p in "Layered OD:layered-od" "Extreme Stack:extreme-stack" "Big Cheese:big-cheese"; do
  name=${p%%:*}
  slug=${p##*:}
  for page in amp floor options; do
    "$S" --preset "$name" --page "$page" "$OUT/editor-$slug-$page.png"
  done
  "$S" --preset "$name" --box presets "$OUT/editor-$slug-presets.png"
  "$S" --preset "$name" --box block 1 "$OUT/editor-$slug-block.png"
  "$S" --preset "$name" --box param 1 0 "$OUT/editor-$slug-param.png"
done
