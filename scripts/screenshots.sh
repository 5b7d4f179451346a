#!/usr/bin/env bash
# Regenerates docs/pictures/<dialog>-<ja|en>.png: the five dialogs, rendered
# offscreen with the Noto CJK fonts on a sample installation made by
# 'quillet-host demo', in the built-in Japanese set and the English set.
#   scripts/screenshots.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
scripts/install-deps.sh --only fonts-noto-cjk
fontdir=$(dirname "$(fc-list ':lang=ja' file 2>/dev/null | grep -i notosanscjk | head -n1 | cut -d: -f1)")
[[ -d "$fontdir" ]] || fontdir=/usr/share/fonts/opentype/noto
cmake -S . -B "$build" -DQUILLET_WERROR=ON -DQUILLET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target quillet-host quillet-screenshots Quillet_rs korvid Dravik
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/quillet-host" demo --dir "$work/installation" >/dev/null
mkdir -p docs/pictures
for set in ja en; do
  if [[ $set == ja ]]; then lang=ja_JP.UTF-8; else lang=C.UTF-8; fi
  QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR="$fontdir" LC_ALL=$lang QUILLET_MESSAGE_LOG= \
    "$build/bin/quillet-screenshots" "$work/installation" docs/pictures "$set"
done
