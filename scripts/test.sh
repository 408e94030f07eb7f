#!/usr/bin/env bash
# Installs what the tests need, builds everything, makes the downloads, and
# runs every test: the unit tests on the simulated desktop, the fuzzers, the
# import-table check, the Group Policy templates, the winget manifests and the signing of the downloads,
# then the real pellucor.exe, its installer and its zip under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh test

echo "== Unit tests (simulated desktop)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2
unit_status=0
ctest --preset linux -j2 >build/unit.log 2>&1 || unit_status=$?
# All of it when something failed, else the runner's summary.
if [ "$unit_status" -ne 0 ]; then cat build/unit.log; else tail -n 3 build/unit.log; fi

echo "== Fuzzing every reader of outside input (libFuzzer, ${FUZZ_SECONDS:-60} s a target)"
fuzz_status=0
bash tests/fuzz/run.sh || fuzz_status=$?

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

echo "== DLLs linked at load time"
imports_status=0
bash tests/linkage/imports.sh || imports_status=$?

echo "== Downloads (installers, portable zip, winget manifests)"
bash scripts/package.sh

echo "== Group Policy templates against the policies the program reads"
policy_status=0
python3 tests/packaging/policy_templates.py >build/policy-templates.log 2>&1 || policy_status=$?
if [ "$policy_status" -ne 0 ]; then cat build/policy-templates.log; else tail -n 1 build/policy-templates.log; fi

echo "== winget manifests against the downloads"
winget_status=0
bash tests/packaging/winget.sh || winget_status=$?

echo "== Signed downloads (throw-away certificate)"
signing_status=0
bash tests/packaging/signing.sh || signing_status=$?

echo "== Number conversion against the real one (Wine)"
conv_status=0
bash tests/wine/run.sh || conv_status=$?

echo "== End-to-end tests (Wine on Xvfb)"
e2e_status=0
bash tests/e2e/run.sh || e2e_status=$?

[ "$unit_status" -eq 0 ] && [ "$fuzz_status" -eq 0 ] && [ "$imports_status" -eq 0 ] && [ "$policy_status" -eq 0 ] &&
  [ "$winget_status" -eq 0 ] && [ "$signing_status" -eq 0 ] && [ "$conv_status" -eq 0 ] && [ "$e2e_status" -eq 0 ]
