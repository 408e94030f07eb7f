#!/usr/bin/env bash
# Builds the release pellucor.exe and writes the three downloads, named with
# the version from CMakeLists.txt, into build/dist/ (and nothing else there
# but their winget manifests):
#
#   pellucor-VERSION-setup.exe      the per-user installer (NSIS)
#   pellucor-VERSION-x64.msi        the per-machine installer (wixl), to deploy
#   pellucor-VERSION-portable.zip   pellucor.exe, README.txt, LICENSE.txt and
#                                   the Group Policy templates in policy/
#   winget/                         the manifests listing the installers; they
#                                   point at PELLUCOR_DOWNLOAD_URL (default
#                                   https://trandavel.example/pellucor/download/VERSION)
#
# Installs what it needs from Debian's packages first. Run as root.
#
# Signed with Authenticode (the program, the installers and the uninstaller)
# when PELLUCOR_SIGN_PFX names a certificate: see scripts/sign.sh. Unsigned
# otherwise. PELLUCOR_DIST names another output folder (its staging folder
# goes beside it; both are emptied first), so a signed set need not replace
# build/dist.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh package
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target pellucor
version=$(tr -d '[:space:]' <build/windows/version.txt)

dist=$(realpath -m "${PELLUCOR_DIST:-build/dist}")
stage=$PWD/build/package
if [[ -n ${PELLUCOR_DIST:-} ]]; then stage=$dist.stage; fi
rm -rf "$stage" "$dist"
mkdir -p "$stage" "$dist"
cp build/windows/bin/pellucor.exe "$stage/"
if [[ -n ${PELLUCOR_SIGN_PFX:-} ]]; then
  echo "Signing with $PELLUCOR_SIGN_PFX${PELLUCOR_SIGN_TIMESTAMP:+, timestamped by $PELLUCOR_SIGN_TIMESTAMP}"
  # An absolute path: makensis runs the uninstaller's signing from elsewhere.
  PELLUCOR_SIGN_PFX=$(realpath "$PELLUCOR_SIGN_PFX")
  export PELLUCOR_SIGN_PFX PELLUCOR_SIGN_PASSWORD PELLUCOR_SIGN_TIMESTAMP
  sign=(-DSIGN="$PWD/scripts/sign.sh")
else
  echo "Not signing: PELLUCOR_SIGN_PFX is not set"
  sign=()
fi
bash scripts/sign.sh "$stage/pellucor.exe"
# What ships, as it ships: Windows line ends for the texts.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/README.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
mkdir -p "$stage/policy"
cp packaging/policy/pellucor.admx "$stage/policy/"
# The template's texts in every language, each in its culture's folder.
for adml in packaging/policy/*/pellucor.adml; do
  culture=$(basename "$(dirname "$adml")")
  mkdir -p "$stage/policy/$culture"
  cp "$adml" "$stage/policy/$culture/"
done

makensis -V2 -INPUTCHARSET UTF8 "${sign[@]}" \
  -DVERSION="$version" -DSTAGE="$stage" -DSOURCE="$PWD" \
  -DOUTFILE="$dist/pellucor-$version-setup.exe" packaging/pellucor.nsi
bash scripts/sign.sh "$dist/pellucor-$version-setup.exe"

bash scripts/msi.sh "$version" "$stage" "$dist/pellucor-$version-x64.msi"
bash scripts/sign.sh "$dist/pellucor-$version-x64.msi"

# The same bytes for the same files: every entry carries the time of the
# last commit (or now, outside a checkout).
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "$dist/pellucor-$version-portable.zip" "$stamp" <<'PY'
import os, sys, time, zipfile
stage, out, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
when = time.gmtime(stamp)[:6]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    names = ["pellucor.exe", "README.txt", "LICENSE.txt", "policy/pellucor.admx"]
    names += sorted(f"policy/{culture}/pellucor.adml" for culture in os.listdir(f"{stage}/policy")
                    if os.path.isdir(f"{stage}/policy/{culture}"))
    for name in names:
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(f"{stage}/{name}", "rb") as f:
            z.writestr(info, f.read())
PY

# Last: the manifests carry the installers' hashes as they ship.
python3 scripts/winget.py "$dist" "$version" \
  "${PELLUCOR_DOWNLOAD_URL:-https://trandavel.example/pellucor/download/$version}"

echo "Downloads of Pellucor $version in $dist:"
ls -l "$dist" | tail -n +2
