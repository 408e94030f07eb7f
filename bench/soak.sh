#!/usr/bin/env bash
# A long run of pellucor.exe under Wine on Xvfb: a run going, the pointer on
# the program's window resting long enough to hide and then moving, over and
# over, with a stop and a new start now and then. Prints the process's
# resident memory and its GDI and USER object counts at the start and every
# two minutes, then the growth. Figures only: nothing here passes or fails.
#
#   bench/soak.sh [SECONDS]      (default 600)
#
# Under Wine, GetGuiResources answers 0: the GDI count is then taken from
# GDI's handle table inside the process, and the USER count is its windows
# (probe handles). Uses $DISPLAY if it answers, else its own Xvfb; always its
# own fresh Wine prefix. Needs build/windows/bin/{pellucor,probe}.exe, gcc
# and the X11, XFixes and XTest headers.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib.sh
source "$HERE/../tests/e2e/lib.sh"

seconds=${1:-600}
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [SECONDS]" >&2; exit 2; }
bench_begin pellucor.exe probe.exe probe_hook.dll
need_x_cursor

start_run_on_window "$(app_dir)"

# figures LABEL: one line of the process's figures now.
figures() {
  local facts rss
  facts=$(probe handles "$TITLE")
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$APP_PID/status")
  printf '%-10s %10s %8s %8s %8s\n' "$1" "$rss" "$(kv gdi <<<"$facts")" "$(kv user <<<"$facts")" \
    "$(tr -d '[:space:]' <<<"$(program_pids | wc -l)")"
}

# cycle: rest until hidden, then move; the watch shows the pointer at once.
cycle() {
  if wait_for 6 x_cursor_is hidden; then hides=$((hides + 1)); fi
  "$E2E_XCURSOR" wiggle 2 50
}
# restart: a stop and a new run, as a user takes a break.
restart() {
  click_control "$TITLE" "$STOP_TEXT"
  wait_for 5 has_control "$TITLE" "$START_TEXT" || { echo "soak: the run did not stop" >&2; exit 1; }
  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5
  click_tray_icon 1
  expect_window "$TITLE" 5
  rest_pointer_on_window
}

# The start's figures once everything loaded on first use is in.
hides=0
cycle
restart
cycle
printf '%-10s %10s %8s %8s %8s\n' time "RSS KiB" GDI USER processes
start_line=$(figures start)
echo "$start_line"
began=$SECONDS
next_report=$((began + 120))
cycles=0
hides=0
while ((SECONDS - began < seconds)); do
  cycle
  cycles=$((cycles + 1))
  if ((cycles % 15 == 0)); then restart; fi
  if ((SECONDS >= next_report)); then
    figures "$((SECONDS - began)) s"
    next_report=$((next_report + 120))
  fi
done
end_line=$(figures end)
echo "$end_line"

read -r _ rss0 gdi0 user0 _ <<<"$start_line"
read -r _ rss1 gdi1 user1 _ <<<"$end_line"
echo
echo "pellucor.exe, Wine $("$WINE64" --version 2>/dev/null), $((SECONDS - began)) s, $cycles rest-and-move cycles, $hides hides seen"
printf '%-24s %+d KiB\n' "resident memory growth" "$((rss1 - rss0))"
printf '%-24s %+d\n' "GDI object growth" "$((gdi1 - gdi0))"
printf '%-24s %+d\n' "USER object growth" "$((user1 - user0))"
