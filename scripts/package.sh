#!/usr/bin/env bash
# Builds the release pellucor.exe and writes the two downloads, named with
# the version from CMakeLists.txt, into build/dist/ (and nothing else there):
#
#   pellucor-VERSION-setup.exe      the per-user installer (NSIS)
#   pellucor-VERSION-portable.zip   pellucor.exe, README.txt, LICENSE.txt
#
# Installs what it needs from Debian's packages first. Run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh package
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target pellucor
version=$(tr -d '[:space:]' <build/windows/version.txt)

# What ships, as it ships: Windows line ends for the texts.
stage=build/package
dist=build/dist
rm -rf "$stage" "$dist"
mkdir -p "$stage" "$dist"
cp build/windows/bin/pellucor.exe "$stage/"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/README.txt >"$stage/README.txt"
sed -e 's/$/\r/' LICENSE >"$stage/LICENSE.txt"

makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$PWD/$stage" -DSOURCE="$PWD" \
  -DOUTFILE="$PWD/$dist/pellucor-$version-setup.exe" packaging/pellucor.nsi

# The same bytes for the same files: every entry carries the time of the
# last commit (or now, outside a checkout).
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
python3 - "$stage" "$dist/pellucor-$version-portable.zip" "$stamp" <<'PY'
import sys, time, zipfile
stage, out, stamp = sys.argv[1], sys.argv[2], int(sys.argv[3])
when = time.gmtime(stamp)[:6]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in ("pellucor.exe", "README.txt", "LICENSE.txt"):
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(f"{stage}/{name}", "rb") as f:
            z.writestr(info, f.read())
PY

echo "Downloads of Pellucor $version in $dist:"
ls -l "$dist" | tail -n +2
