#!/usr/bin/env bash
# Installs what the tests need, builds everything, makes the downloads, and
# runs every test: the unit tests on the simulated desktop, the fuzzers, the
# import-table check, the Group Policy templates, the winget manifests and the
# signing of the downloads, then the real pellucor.exe, its installer and its
# zip under Wine. A failed check does not stop the others; the run fails at
# the end, naming them.
set -euo pipefail
cd "$(dirname "$0")/.."

failed=()
# check NAME COMMAND...: runs one check; its failure is kept for the end.
check() {
  local name=$1
  shift
  "$@" || failed+=("$name")
}
# quiet LOG COMMAND...: the command's output in LOG, shown whole when it
# fails, else its last lines (the runner's summary).
quiet() {
  local log=$1 status=0
  shift
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then cat "$log"; else tail -n 3 "$log"; fi
  return "$status"
}

bash scripts/deps.sh test

echo "== Unit tests (simulated desktop)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2
check "unit tests" quiet build/unit.log ctest --preset linux -j2

echo "== Fuzzing every reader of outside input (libFuzzer, ${FUZZ_SECONDS:-60} s a target)"
check fuzzers bash tests/fuzz/run.sh

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

echo "== DLLs linked at load time"
check imports bash tests/linkage/imports.sh

echo "== Downloads (installers, portable zip, winget manifests)"
bash scripts/package.sh

echo "== Group Policy templates against the policies the program reads"
check "policy templates" quiet build/policy-templates.log python3 tests/packaging/policy_templates.py

echo "== winget manifests against the downloads"
check winget bash tests/packaging/winget.sh

echo "== Signed downloads (throw-away certificate)"
check signing bash tests/packaging/signing.sh

echo "== Number conversion against the real one (Wine)"
check "number conversion" bash tests/wine/run.sh

echo "== End-to-end tests (Wine on Xvfb)"
check "end to end" bash tests/e2e/run.sh

if ((${#failed[@]})); then
  printf 'Failed: %s\n' "${failed[@]}"
  exit 1
fi
