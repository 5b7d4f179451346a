#!/usr/bin/env bash
# Counts, under strace, the file-system requests each export makes on the
# data folder: one call each on a fresh sample installation, counting every
# system call that names a path below the data root (on a network share each
# is a round trip). Prints a Markdown table: export, requests now, the least
# the job needs.
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
  "lookup|SddGetOthMacCondPath, registered pair, create 0|4|the folder creation every look-up makes, one read of the index, one of the list, one test of the template"
  "register|SddGetOthMacCondPath, new material, create 1|5|folder creation, index read, list read, the list opened for its lock and the append, the check that the path still names it"
  "cut-inf|SddGetOthCutInf (after a look-up)|5|the look-up's 4, one read of the template"
  "set-current|MD_SetCurrentInfo, Nc, Cut and Tool saved|3|one read per saved file"
  "get-inf|SddPDLOthMacLasCutGetInf|1|one read of the condition file"
  "type-get|SddPDLOthMacTypeGet|1|one read of the alias file"
  "copy|SddPDLOthMacLasCutFileCopy onto a new pair|4|source read, target opened for its lock (missing), master test, exclusive creation of the target"
  "delete|SddPDLOthMacLasCutFileDelete|1|one unlink"
  "pdl-save|dialog 129 OK (one table; save options unchanged)|6|condition file opened for its lock, path check, temporary file, rename, folder flush; one read of the save options"
  "driver-commit|dialog 130 open and OK (Cut, saved file exists)|6|open: one read; OK: saved file opened for its lock, path check, temporary file, rename, folder flush"
)
count() {  # scenario -> requests naming a path below the data root
  local log=$dir/trace.log
  strace -f -qq -e trace=%file -o "$log" "$probe" "$1" >/dev/null 2>&1 || true
  grep -c "\"$data" "$log" || true
}
printf '| call | requests now | least | what the least is |\n|---|---|---|---|\n' | tee "${REQUESTS_OUT:-/dev/null}"
for row in "${rows[@]}"; do
  IFS='|' read -r scenario what least why <<<"$row"
  [[ $scenario == copy ]] && rm -f "$folder/PDL_CUT_MC02_SPCC1.6.ini"
  now=$(count "$scenario")
  printf '| %s | %s | %s | %s |\n' "$what" "$now" "$least" "$why" | tee -a "${REQUESTS_OUT:-/dev/null}"
done
