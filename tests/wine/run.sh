#!/bin/sh
# Runs convert_agreement.exe under Wine on tests/wine/corpus.txt, once with an
# English desktop and once with a German one (decimal comma, thousands point,
# euro), and exits non-zero when any text converts differently.
#
#   tests/wine/run.sh [path/to/convert_agreement.exe]
#
# Environment: WINEPREFIX to use an existing prefix (else a fresh one is made
# and removed afterwards), WINE for the loader (default /usr/lib/wine/wine64),
# AGREEMENT_LOCALES to choose the desktop locales. No X server is needed: the
# program is a console program and creates no window.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=${1:-$root/build/windows/bin/convert_agreement.exe}
corpus=$here/corpus.txt
wine=${WINE:-/usr/lib/wine/wine64}
locales=${AGREEMENT_LOCALES:-en_US.UTF-8 de_DE.UTF-8}

if [ ! -f "$exe" ]; then
  echo "no $exe: build it with cmake --build --preset windows --target convert_agreement" >&2
  exit 2
fi

unset DISPLAY
export WINEDEBUG=-all

if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX
  # Only this prefix's server is stopped, and only the prefix made here is removed.
  trap '"$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
  "$wine" wineboot -u >/dev/null 2>&1
fi
export WINEPREFIX

# Wine maps the whole Unix file system to drive Z:.
corpus_win=Z:$(printf '%s' "$corpus" | tr / '\\')

status=0
for locale in $locales; do
  echo "== $locale"
  LC_ALL=$locale "$wine" "$exe" "$corpus_win" || status=1
done
exit $status
