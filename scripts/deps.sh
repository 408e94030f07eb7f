#!/usr/bin/env bash
# Installs, from Debian's packages, what building needs, and with "package"
# what packaging needs, with "test" what testing (packaging included) needs.
# Run as root. Skips apt when everything is there already.
set -euo pipefail

# Fonts for what Wine shows: Liberation stands in for Arial; WenQuanYi Micro
# Hei (CJK with Latin) draws Japanese, Korean and Chinese; DejaVu Sans draws
# Arabic.
build_packages=(cmake ninja-build g++ python3 g++-mingw-w64-x86-64-posix wine64 xvfb xdotool
  imagemagick x11-utils fonts-liberation fonts-wine fonts-wqy-microhei fonts-dejavu-core)
package_packages=(nsis osslsigncode wixl msitools)
test_packages=(libgtest-dev libgmock-dev gcc libx11-dev libxfixes-dev libxtst-dev locales
  clang-14 libfuzzer-14-dev libclang-rt-14-dev openssl python3-yaml)

wanted=("${build_packages[@]}")
[ "${1:-}" = "package" ] && wanted+=("${package_packages[@]}")
[ "${1:-}" = "test" ] && wanted+=("${package_packages[@]}" "${test_packages[@]}")

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The display languages the language scenarios start Wine in: Wine takes
# LC_CTYPE and LC_MESSAGES apart only for locales the system has.
if [ "${1:-}" = "test" ]; then
  wanted_locales=(de_DE ja_JP ar_SA cy_GB)
  have=$(locale -a 2>/dev/null)
  for l in "${wanted_locales[@]}"; do
    if ! grep -qx "$l.utf8" <<<"$have"; then
      sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
      grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
      regenerate=1
    fi
  done
  if [ -n "${regenerate:-}" ]; then locale-gen >/dev/null; fi
fi
