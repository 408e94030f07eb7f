#!/usr/bin/env bash
# The size of a built program and what of it is not resources: the file's
# bytes, the .rsrc section's (its size as objdump -h reads it from the
# section header, not the file-aligned space it takes), and the difference.
#
#   bench/exe_size.sh [EXE...]     (default build/windows/bin/pellucor.exe)
#
# Then every section's size, for seeing where a change went. Figures only.
set -euo pipefail
cd "$(dirname "$0")/.."

objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
(($#)) || set -- build/windows/bin/pellucor.exe
for exe in "$@"; do
  [[ -f $exe ]] || { echo "exe_size: no $exe (cmake --build --preset windows)" >&2; exit 2; }
  bytes=$(stat -c %s "$exe")
  # objdump -h: "Idx Name Size VMA LMA File-off Algn", sizes in hex.
  sections=$("$objdump" -h "$exe" | awk '$2 ~ /^\./ { print $2, $3 }')
  rsrc_hex=$(awk '$1 == ".rsrc" { print $2 }' <<<"$sections")
  rsrc=$((16#${rsrc_hex:-0}))
  printf '%s: %d bytes, .rsrc %d bytes, outside .rsrc %d bytes (%d KiB)\n' \
    "${exe##*/}" "$bytes" "$rsrc" $((bytes - rsrc)) $(((bytes - rsrc) / 1024))
  while read -r name hex; do
    printf '  %-16s %8d\n' "$name" $((16#$hex))
  done <<<"$sections"
done
