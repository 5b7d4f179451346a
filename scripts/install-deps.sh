#!/usr/bin/env bash
# Installs the Debian 12 packages Quillet needs to build and test. Idempotent:
# it only calls apt-get when a package is missing. Run as root.
#   scripts/install-deps.sh            build and test packages
#   scripts/install-deps.sh --extra    also clang (fuzzing), fonts and plotting
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest
          libbenchmark-dev ccache)
if [[ "${1:-}" == "--extra" ]]; then
  packages+=(clang libclang-rt-14-dev fonts-noto-cjk gnuplot-nox)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
