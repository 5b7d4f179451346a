#!/usr/bin/env bash
# Installs Debian 12 packages for Quillet. Idempotent: it only calls apt-get
# when a package is missing. Run as root.
#   scripts/install-deps.sh                  the build and test packages
#   scripts/install-deps.sh --only PKG...    just these (benchmarks, fuzzing, fonts,
#                                            clang-tidy, clang-format)
set -euo pipefail

if [[ "${1:-}" == "--only" ]]; then
  shift
  packages=("$@")
else
  packages=(cmake make g++ pkg-config qt6-base-dev libgl-dev nlohmann-json3-dev libgtest-dev
            libgmock-dev googletest libbenchmark-dev ccache)
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
