#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the Qt-free code: every
# translation unit of src/, host/, standins/ and resources/ that includes no
# Qt header, as the build folder's compile_commands.json compiles it. Headers
# of the tree those units include are checked with them. Fails on any
# finding. Configures the build folder when it has no compile_commands.json;
# nothing needs to be built first.
#   scripts/tidy.sh [build-folder, default build]
# Environment: TIDY_JOBS (parallel clang-tidy runs, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
# clang-tidy brings python3, which picks the units below.
scripts/install-deps.sh --only clang-tidy
if [[ ! -f "$build/compile_commands.json" ]]; then
  scripts/install-deps.sh
  cmake -S . -B "$build" -DQUILLET_WERROR=ON >/dev/null
fi

# A unit is Qt-free when its command names no Qt folder, or when the
# preprocessor, run with its command, reaches no Qt header through it.
units=$(python3 - "$build/compile_commands.json" "$PWD" <<'PY'
import json, os, shlex, subprocess, sys
db, root = sys.argv[1], sys.argv[2]
folders = tuple(os.path.join(root, d) + os.sep for d in ("src", "host", "standins", "resources"))
seen = set()
for entry in json.load(open(db)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(folders) or path in seen:
        continue
    seen.add(path)
    args = entry.get("arguments") or shlex.split(entry["command"])
    if any("qt6" in a.lower() for a in args):
        cmd, skip = [], False
        for a in args:
            if skip:
                skip = False
            elif a == "-o":
                skip = True
            elif a != "-c":
                cmd.append(a)
        deps = subprocess.run(cmd + ["-M"], cwd=entry["directory"], capture_output=True,
                              text=True, check=True).stdout
        if "/qt6/" in deps.lower():
            continue
    print(path)
PY
)
count=$(wc -l <<<"$units")
echo "clang-tidy: $count translation units"
# Each unit's findings are printed whole once it is done; xargs fails when
# any unit had a finding.
tr '\n' '\0' <<<"$units" | xargs -0 -n1 -P"${TIDY_JOBS:-2}" sh -c '
  out=$(clang-tidy -p "$0" --quiet "$1" 2>&1) && exit 0
  printf "%s\n" "$out" | grep -v "^[0-9]* warnings\? generated\.$"
  exit 1' "$build" || {
  echo "clang-tidy: findings above (fix them, or disable a check in .clang-tidy with its reason)" >&2
  exit 1
}
echo "clang-tidy: no findings"
