#!/usr/bin/env bash
# pellucor.exe may link at load time only DLLs that Windows protects: the
# KnownDLLs (always loaded from the system folder) and comctl32 v6, which the
# manifest binds. Any other DLL linked at load time would be looked for in
# the program's folder first, where anyone can put a DLL of that name.
#
#   tests/linkage/imports.sh [EXE]     (default build/windows/bin/pellucor.exe)
#
# Prints the imported DLLs; exits 1 naming any that is not protected.
set -euo pipefail
cd "$(dirname "$0")/../.."

exe=${1:-build/windows/bin/pellucor.exe}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
[[ -f $exe ]] || { echo "imports: no $exe (cmake --build --preset windows)" >&2; exit 2; }

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10 and 11.
protected=(advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll
  imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll
  rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll wldap32.dll ws2_32.dll
  comctl32.dll)

mapfile -t dlls < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
((${#dlls[@]} > 0)) || { echo "imports: no import table read from $exe" >&2; exit 2; }
bad=()
for dll in "${dlls[@]}"; do
  [[ " ${protected[*]} " == *" $dll "* ]] || bad+=("$dll")
done
echo "imports of ${exe##*/}: ${dlls[*]}"
if ((${#bad[@]})); then
  echo "imports: linked at load time but not protected by Windows: ${bad[*]}" >&2
  exit 1
fi
echo "imports: every DLL linked at load time is a KnownDLL or comctl32 v6"
