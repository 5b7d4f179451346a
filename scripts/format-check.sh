#!/usr/bin/env bash
# Fails when a C or C++ file of the tree is not formatted as .clang-format
# says (clang-format --dry-run --Werror); prints what it would change.
# Fix with: clang-format -i FILE...
#   scripts/format-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --only clang-format
patterns=('*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- "${patterns[@]}")
else
  mapfile -d '' files < <(find . -path './build*' -prune -o -path './.git' -prune -o -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0)
fi
printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run --Werror || {
  echo "clang-format: the files above differ from .clang-format (clang-format -i FILE...)" >&2
  exit 1
}
echo "clang-format: ${#files[@]} files formatted"
