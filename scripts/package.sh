#!/usr/bin/env bash
# Builds the Debian packages (debian/) and leaves the .deb files in OUTDIR:
# quillet, quillet-dev, quillet-standins and their -dbgsym packages.
#   scripts/package.sh OUTDIR
# It installs what the build needs, copies the source tree (without build
# folders) to build-deb/, runs `dpkg-buildpackage -b -us -uc` there, so that
# nothing is written beside the source tree, and moves the packages to OUTDIR.
# The tests are not run (DEB_BUILD_OPTIONS=nocheck): scripts/test.sh and CI
# run them; set DEB_BUILD_OPTIONS yourself to change that.
set -euo pipefail
if (($# != 1)); then
  echo "usage: scripts/package.sh OUTDIR" >&2
  exit 64
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
source=$PWD

scripts/install-deps.sh
scripts/install-deps.sh --only debhelper dpkg-dev

# The package version is the project's version.
version=$(dpkg-parsechangelog -S Version)
project=$(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [[ "$version" != "$project" ]]; then
  echo "debian/changelog is at $version but CMakeLists.txt at $project: add a changelog entry (dch -v $project)" >&2
  exit 1
fi

stage=$source/build-deb
tree=$stage/quillet-$version
rm -rf "$stage"
mkdir -p "$tree"
tar -C "$source" --exclude='./build*' --exclude='./.git' --exclude='./obj-*' -cf - . | tar -C "$tree" -xf -

(cd "$tree" && DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS-nocheck parallel=$(nproc)}" \
   dpkg-buildpackage -b -us -uc)

shopt -s nullglob
debs=("$stage"/*.deb)
if ((${#debs[@]} == 0)); then
  echo "dpkg-buildpackage left no package in $stage" >&2
  exit 1
fi
mv -f "${debs[@]}" "$out"/
rm -rf "$stage"
printf '%s\n' "${debs[@]##*/}" | sed "s|^|$out/|"
