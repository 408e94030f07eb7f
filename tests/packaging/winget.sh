#!/usr/bin/env bash
# The winget manifests scripts/package.sh wrote beside the downloads agree
# with those downloads: one version everywhere, every installer listed by its
# file name with the SHA-256 of the file as it is, its type, scope and silent
# switch (and the MSI's ProductCode). Then the same check must notice a download changed after the
# manifests were written.
#
#   tests/packaging/winget.sh [DIST]      (default build/dist)
#
# Prints a line per check and ends with "N passed, N failed".
set -euo pipefail
cd "$(dirname "$0")/../.."

dist=${1:-build/dist}
version=$(tr -d '[:space:]' <build/windows/version.txt)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# check_manifests DIST: prints one line per problem; status 1 if any.
check_manifests() {
  python3 - "$1" "$version" <<'PY'
import hashlib, os, subprocess, sys, yaml
dist, version = sys.argv[1], sys.argv[2]
wanted = {  # file name: (InstallerType, Scope, Silent)
    f"pellucor-{version}-setup.exe": ("nullsoft", "user", "/S"),
    f"pellucor-{version}-x64.msi": ("msi", "machine", "/qn"),
}
problems = []
def load(name):
    with open(os.path.join(dist, "winget", name)) as f:
        return yaml.safe_load(f)
docs = {kind: load(name) for kind, name in (
    ("version", "Trandavel.Pellucor.yaml"),
    ("installer", "Trandavel.Pellucor.installer.yaml"),
    ("defaultLocale", "Trandavel.Pellucor.locale.en-US.yaml"))}
for kind, doc in docs.items():
    for key, value in (("ManifestType", kind), ("PackageIdentifier", "Trandavel.Pellucor"),
                       ("PackageVersion", version)):
        if doc.get(key) != value:
            problems.append(f"{kind}: {key} is {doc.get(key)!r}, not {value!r}")
    if not str(doc.get("ManifestVersion", "")).startswith("1."):
        problems.append(f"{kind}: ManifestVersion {doc.get('ManifestVersion')!r}")
locale = docs["defaultLocale"]
for key, value in (("Publisher", "Trandavel"), ("License", "MIT"), ("PackageLocale", "en-US")):
    if locale.get(key) != value:
        problems.append(f"locale: {key} is {locale.get(key)!r}")
if not locale.get("ShortDescription"):
    problems.append("locale: no ShortDescription")
if docs["version"].get("DefaultLocale") != "en-US":
    problems.append("version: DefaultLocale is not en-US")

listed = set()
for entry in docs["installer"].get("Installers", []):
    name = entry["InstallerUrl"].rsplit("/", 1)[-1]
    listed.add(name)
    path = os.path.join(dist, name)
    if name not in wanted or not os.path.isfile(path):
        problems.append(f"installer {name}: not a download in {dist}")
        continue
    with open(path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest().upper()
    if entry.get("InstallerSha256") != digest:
        problems.append(f"installer {name}: InstallerSha256 {entry.get('InstallerSha256')} but the file's is {digest}")
    kind, scope, silent = wanted[name]
    got = (entry.get("InstallerType"), entry.get("Scope"), entry.get("InstallerSwitches", {}).get("Silent"),
           entry.get("Architecture"), entry.get("UpgradeBehavior"))
    if got != (kind, scope, silent, "x64", "install"):
        problems.append(f"installer {name}: type, scope, silent switch, architecture, upgrade are {got}")
    if kind == "msi":
        table = subprocess.run(["msiinfo", "export", path, "Property"], capture_output=True, text=True).stdout
        code = dict(l.split("\t", 1) for l in table.splitlines() if "\t" in l).get("ProductCode", "").strip()
        if not code or entry.get("ProductCode") != code:
            problems.append(f"installer {name}: ProductCode {entry.get('ProductCode')!r}, the MSI's is {code!r}")
for name in wanted:
    if os.path.isfile(os.path.join(dist, name)) and name not in listed:
        problems.append(f"installer {name}: a download the manifest does not list")
if not listed:
    problems.append("no installers listed")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
}

passed=0
failed=0
if check_manifests "$dist" >"$tmp/problems"; then
  echo "PASS the manifests in $dist agree with its downloads"
  passed=$((passed + 1))
else
  echo "FAIL the manifests in $dist disagree with its downloads:"
  sed 's/^/  /' "$tmp/problems"
  failed=$((failed + 1))
fi

# A copy whose installer changed after the manifests were written.
cp -r "$dist" "$tmp/changed"
printf 'x' >>"$tmp/changed/pellucor-$version-setup.exe"
if ! check_manifests "$tmp/changed" >"$tmp/problems" && grep -q InstallerSha256 "$tmp/problems"; then
  echo "PASS a changed installer no longer matches its manifest"
  passed=$((passed + 1))
else
  echo "FAIL a changed installer still passes the check"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
((failed == 0))
