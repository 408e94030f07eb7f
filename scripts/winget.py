#!/usr/bin/env python3
"""Writes the winget manifest set (version, installer, en-US locale) for the
installers in a downloads folder, into its winget/ subfolder.

    scripts/winget.py DIST VERSION URL_BASE

Each installer is listed with the SHA-256 of the file as it is there, so run
this after the last change to the downloads (signing included). URL_BASE is
where the downloads will be published; the file names are appended to it.
"""
import hashlib
import os
import subprocess
import sys

SCHEMA = "1.6.0"
ID = "Trandavel.Pellucor"


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            h.update(block)
    return h.hexdigest().upper()


def msi_product_code(path):
    """The ProductCode from the MSI's Property table, or None without msiinfo."""
    try:
        out = subprocess.run(["msiinfo", "export", path, "Property"], check=True,
                             capture_output=True, text=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    for line in out.splitlines():
        name, _, value = line.partition("\t")
        if name == "ProductCode":
            return value.strip()
    return None


def header(kind):
    return f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{SCHEMA}.schema.json\n\n"


def main():
    dist, version, base = sys.argv[1], sys.argv[2], sys.argv[3].rstrip("/")
    out = os.path.join(dist, "winget")
    os.makedirs(out, exist_ok=True)
    common = f"PackageIdentifier: {ID}\nPackageVersion: {version}\n"

    # The per-user one first: winget takes the first that fits when no scope
    # is asked for, and it needs no administrator.
    installers = []
    setup = f"pellucor-{version}-setup.exe"
    if os.path.exists(os.path.join(dist, setup)):
        installers.append(
            f"- Architecture: x64\n"
            f"  InstallerType: nullsoft\n"
            f"  Scope: user\n"
            f"  InstallerUrl: {base}/{setup}\n"
            f"  InstallerSha256: {sha256(os.path.join(dist, setup))}\n"
            f"  InstallerSwitches:\n"
            f"    Silent: /S\n"
            f"    SilentWithProgress: /S\n"
            f"  UpgradeBehavior: install\n")
    msi = f"pellucor-{version}-x64.msi"
    if os.path.exists(os.path.join(dist, msi)):
        code = msi_product_code(os.path.join(dist, msi))
        installers.append(
            f"- Architecture: x64\n"
            f"  InstallerType: msi\n"
            f"  Scope: machine\n"
            f"  InstallerUrl: {base}/{msi}\n"
            f"  InstallerSha256: {sha256(os.path.join(dist, msi))}\n"
            f"  InstallerSwitches:\n"
            f"    Silent: /qn\n"
            f"    SilentWithProgress: /qb\n"
            f"  UpgradeBehavior: install\n"
            + (f"  ProductCode: '{code}'\n" if code else ""))
    if not installers:
        sys.exit(f"winget: no installer in {dist}")

    files = {
        f"{ID}.yaml": header("version") + common +
        "DefaultLocale: en-US\nManifestType: version\n" + f"ManifestVersion: {SCHEMA}\n",
        f"{ID}.installer.yaml": header("installer") + common +
        "MinimumOSVersion: 10.0.0.0\nInstallers:\n" + "".join(installers) +
        f"ManifestType: installer\nManifestVersion: {SCHEMA}\n",
        f"{ID}.locale.en-US.yaml": header("defaultLocale") + common +
        "PackageLocale: en-US\n"
        "Publisher: Trandavel\n"
        "PackageName: Pellucor\n"
        "PackageUrl: https://trandavel.example/pellucor/\n"
        "License: MIT\n"
        "Copyright: Copyright (c) 2026 Trandavel\n"
        "ShortDescription: Hides the mouse pointer while it rests and shows it again the moment the mouse moves.\n"
        "Moniker: pellucor\n"
        "Tags:\n- mouse\n- cursor\n- pointer\n"
        f"ManifestType: defaultLocale\nManifestVersion: {SCHEMA}\n",
    }
    for name, text in files.items():
        with open(os.path.join(out, name), "w", newline="\n") as f:
            f.write(text)


if __name__ == "__main__":
    main()
