#!/usr/bin/env bash
# Builds the per-machine MSI from packaging/pellucor.wxs with wixl.
#
#   scripts/msi.sh VERSION STAGE OUT.msi      (STAGE holds pellucor.exe)
#
# The ProductCode is made from the UpgradeCode and the version, so every
# build of one version is the same product: a rebuilt MSI of the installed
# version is recognised as installed instead of going in beside it.
set -euo pipefail
version=$1
stage=$(realpath "$2")
out=$(realpath -m "$3")
cd "$(dirname "$0")/.."

upgrade=$(sed -n 's/.*UpgradeCode="\([0-9A-Fa-f-]*\)".*/\1/p' packaging/pellucor.wxs)
[[ -n $upgrade ]] || { echo "msi: no UpgradeCode in packaging/pellucor.wxs" >&2; exit 1; }
product=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
  "$upgrade" "$version")
# wixl takes only paths relative to here for its sources.
wixl -a x64 -D Version="$version" -D ProductCode="$product" -D Stage="$(realpath --relative-to=. "$stage")" \
  -D Source=. -o "$out" packaging/pellucor.wxs
