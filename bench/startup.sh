#!/usr/bin/env bash
# Start-up cost of pellucor.exe next to the smallest Win32 program that shows a
# window (bare_window.exe), both run the same way under Wine on Xvfb.
#
#   bench/startup.sh [RUNS]      (default 5)
#
# For each run of each program: the time from starting the process to its
# window being visible on the X server, and the process's peak resident memory.
# Prints every run, then the medians side by side with the ratio
# pellucor/bare. Figures only: nothing here passes or fails.
#
# Uses $DISPLAY if it answers, else its own Xvfb; always its own fresh Wine
# prefix. Needs build/windows/bin/{pellucor,bare_window,probe}.exe.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib.sh
source "$HERE/../tests/e2e/lib.sh"

runs=${1:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [RUNS]" >&2; exit 2; }
bench_begin pellucor.exe bare_window.exe probe.exe
mkdir -p "$WINEPREFIX/drive_c/Pellucor" "$WINEPREFIX/drive_c/Bare"
cp "$E2E_BIN/pellucor.exe" "$WINEPREFIX/drive_c/Pellucor/"
cp "$E2E_BIN/bare_window.exe" "$WINEPREFIX/drive_c/Bare/"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# program_pid PID EXE: the Linux process that runs the Windows program. With
# Debian's Wine, `wine64 program.exe` keeps its pid: the loader and preloader
# exec in place, and that one process maps the exe, its DLLs and Wine's own
# runtime; its /proc/PID/exe is the Wine loader and its command line becomes
# the exe's path. Should a Wine spawn the program in a new process instead,
# take the process whose command line names the exe and whose executable is
# the Wine loader (not a shell that mentions the name) in our prefix (not
# another user's copy of the program). Other Wine processes
# (wineserver, services.exe, explorer.exe) serve every program alike and are
# not counted.
program_pid() {
  local started=$1 name=${2##*\\} pid deadline=$((SECONDS + 10))
  while ((SECONDS < deadline)); do
    if tr '\0' ' ' <"/proc/$started/cmdline" 2>/dev/null | grep -qiF "$name"; then
      echo "$started"
      return
    fi
    for pid in $(pgrep -f "$name" || true); do
      if [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == */wine64* ]] &&
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        echo "$pid"
        return
      fi
    done
    sleep 0.005
  done
  echo "$started"
}

# one_run EXE TITLE: prints "MILLISECONDS KIB" for one start of EXE.
one_run() {
  local exe=$1 title=$2 start started pid visible=0 deadline kib
  start=$(now_ms)
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$exe") >/dev/null 2>&1 &
  started=$!
  pid=$(program_pid "$started" "$exe")
  deadline=$((start + 30000))
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    (($(now_ms) < deadline)) || { echo "bench: '$title' never became visible" >&2; exit 1; }
    sleep 0.005
  done
  visible=$(now_ms)
  sleep 1  # let the start-up's work settle before reading the peak
  kib=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  probe close "$title" >/dev/null
  wait "$started" 2>/dev/null || true
  while [[ -e /proc/$pid && $(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) != Z ]]; do sleep 0.05; done
  echo "$((visible - start)) $kib"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }

pellucor='C:\Pellucor\pellucor.exe'
bare='C:\Bare\bare_window.exe'

# Warm: the first start of each loads files from disk and fills Wine's caches.
one_run "$pellucor" Pellucor >/dev/null
one_run "$bare" Bare >/dev/null

: >"$E2E_TMP/pellucor" && : >"$E2E_TMP/bare"
printf '%-4s %14s %14s %14s %14s\n' run "pellucor ms" "bare ms" "pellucor KiB" "bare KiB"
for ((i = 1; i <= runs; i++)); do
  read -r p_ms p_kib < <(one_run "$pellucor" Pellucor)
  read -r b_ms b_kib < <(one_run "$bare" Bare)
  [[ -n ${p_ms:-} && -n ${b_ms:-} ]] || exit 1
  echo "$p_ms $p_kib" >>"$E2E_TMP/pellucor"
  echo "$b_ms $b_kib" >>"$E2E_TMP/bare"
  printf '%-4s %14s %14s %14s %14s\n' "$i" "$p_ms" "$b_ms" "$p_kib" "$b_kib"
done

p_ms=$(cut -d' ' -f1 "$E2E_TMP/pellucor" | median)
b_ms=$(cut -d' ' -f1 "$E2E_TMP/bare" | median)
p_kib=$(cut -d' ' -f2 "$E2E_TMP/pellucor" | median)
b_kib=$(cut -d' ' -f2 "$E2E_TMP/bare" | median)
echo
echo "median of $runs runs (Wine $("$WINE64" --version 2>/dev/null), Xvfb $DISPLAY)"
printf '%-30s %10s %10s %8s\n' figure pellucor bare ratio
printf '%-30s %10s %10s %8s\n' "start to visible window (ms)" "$p_ms" "$b_ms" "$(ratio "$p_ms" "$b_ms")"
printf '%-30s %10s %10s %8s\n' "peak resident memory (KiB)" "$p_kib" "$b_kib" "$(ratio "$p_kib" "$b_kib")"
