#!/usr/bin/env bash
# Counts, under strace, the file-system requests each export makes on the
# data folder: one call each on a fresh sample installation, counting every
# system call on a path below the data root or on a descriptor of such a
# path (opens, stats, reads, writes, locks, flushes, closes, listings: on a
# network share each can be a round trip). Prints a Markdown table: export,
# requests now, the least the job needs.
#   scripts/bench_requests.sh [build-folder]
# Environment: REQUESTS_OUT (file that receives the table as well).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
here=$PWD

scripts/install-deps.sh --only strace libbenchmark-dev
if [[ -f "$build/CMakeCache.txt" ]]; then
  cmake -S . -B "$build" -DQUILLET_WERROR=ON -DQUILLET_BUILD_BENCH=ON >/dev/null
else
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLET_WERROR=ON -DQUILLET_BUILD_TESTS=OFF \
    -DQUILLET_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target quillet_request_probe korvid Dravik >/dev/null
probe=$(realpath "$build/bin/quillet_request_probe")

dir=$(mktemp -d /tmp/quillet-requests-XXXXXX)
trap '[[ -n "${REQUESTS_KEEP:-}" ]] || rm -rf "$dir"' EXIT
data=$dir/data/
folder=${data}data/Othmcn
mkdir -p "$folder" "$dir/system/TEMP"
cat >"$dir/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]
"ParentComputerRoot"="$data"
"VELDSystemRoot"="$dir/system/"
REG
export QUILLET_REGISTRY=$dir/registry.reg QUILLET_PROBE_DRIVER=$here/samples/drivers/laser.drv
export LD_LIBRARY_PATH=$(realpath "$build/lib") QT_QPA_PLATFORM= DISPLAY= WAYLAND_DISPLAY=
cp samples/pdl/PDL_CUT_MASTER.ini samples/pdl/machine.ini "$folder/"
printf '[PDL_CUT_SAVEOPT]\nOnOff_SaveOpt=0\n' >"$folder/PDL_CUT_SAVEOPT.ini"
# The sample pair, its template, saved driver files and condition file.
"$probe" register >/dev/null
"$probe" driver-commit >/dev/null
for scenario in lookup type-get get-inf pdl-save; do "$probe" "$scenario" >/dev/null || true; done
printf '[QM700]%-50s%-100s\n' SPCC1.6 MC01-SPCC1.6.CUT >>"$folder/MC01.__1"
printf '###CUTCOND-K\nM100\n###END\n' >"$folder/MC01-SPCC1.6.CUT"
printf '1_3OnOff=1\n' >"$folder/MD_NC_MC01.ini"
printf '[MD_TOOL_1]\n1_3OnOff=1\n' >"$folder/MD_TOOL_MC01_DIE1.ini"

# scenario | what is measured | least requests | why that many
rows=(
  "lookup|SddGetOthMacCondPath, registered pair, create 0|10|the folder creation every look-up makes; the index and the list each opened, read in one read, closed; the template opened, its type asked (a folder is no template), closed"
  "register|SddGetOthMacCondPath, new material, create 1|19|the look-up's folder creation and two reads (7); the list opened for its lock, locked, its size, the server asked that the name still leads to it, one read, one append, flushed (7); the folder listed for the list's stale temporary files (open, two reads, close); the lock released by closing (1)"
  "cut-inf|SddGetOthCutInf (after a look-up)|13|the look-up's 10; the template opened, read, closed"
  "set-current|MD_SetCurrentInfo, Nc, Cut and Tool saved|9|each saved file opened, read, closed"
  "get-inf|SddPDLOthMacLasCutGetInf|3|the condition file opened, read, closed"
  "type-get|SddPDLOthMacTypeGet|3|the alias file opened, read, closed"
  "copy|SddPDLOthMacLasCutFileCopy onto a new pair|20|source read (3); target opened for its lock (missing); master opened, its type, closed (3); a temporary file opened, written, flushed, its mode and group asked, closed, the folder's group asked, linked to the name, its own name removed (8); the folder opened, flushed, listed for stale temporary files (two reads), closed (5)"
  "delete|SddPDLOthMacLasCutFileDelete|1|one unlink"
  "pdl-save|dialog 129 OK (one table; save options unchanged)|20|condition file opened, locked, its size and mode, the server asked for the name, read (5); temporary file opened, written, flushed, its mode asked, closed, renamed (6); the folder opened, flushed, listed twice, closed (5); the lock released by closing (1); the save options opened, read, closed (3)"
  "driver-commit|dialog 130 open and OK (Cut, saved file exists)|20|open: one read (3); OK: as dialog 129's save of the condition file (17)"
)
count() {  # scenario -> system calls on a path or descriptor below the data root
  local log=$dir/trace.log
  # -y shows the path behind each descriptor; a call split by another
  # thread's ("resumed") is counted once.
  strace -f -qq -y -o "$log" "$probe" "$1" >/dev/null 2>&1 || true
  grep -v 'resumed>' "$log" | grep -c -E "[\"<]$data" || true
}
printf '| call | requests now | least | what the least is |\n|---|---|---|---|\n' | tee "${REQUESTS_OUT:-/dev/null}"
for row in "${rows[@]}"; do
  IFS='|' read -r scenario what least why <<<"$row"
  [[ $scenario == copy ]] && rm -f "$folder/PDL_CUT_MC02_SPCC1.6.ini"
  now=$(count "$scenario")
  printf '| %s | %s | %s | %s |\n' "$what" "$now" "$least" "$why" | tee -a "${REQUESTS_OUT:-/dev/null}"
done
