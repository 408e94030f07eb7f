#!/usr/bin/env bash
# How soon a hidden pointer comes back when the mouse moves, and what hiding
# costs in CPU: pellucor.exe under Wine on Xvfb, during a run, with the
# pointer resting on the program's own window (the only place where Wine
# shows a hidden Windows cursor as hidden).
#
#   bench/reveal.sh [REVEALS [KEYS]]      (default 24 and 24)
#
# Reveal: once the cursor has hidden (at a tick), waits a share of the tick's
# second that differs for each reveal, moves the pointer 3 pixels through
# XTest and times until X shows a visible cursor again. Prints every reveal,
# then the median and the worst.
# CPU: the share of one core used by the program's process (and by its
# guardian) while the pointer moves without pause for 10 s, with the window
# in the tray and over the window itself (beside a bare Win32 window under
# the same motion, which is Wine's own cost), and while it rests hidden for
# 30 s.
# Typing (the choice "hide as soon as I type" on): with the pointer shown on
# the program's window and Notepad in front, presses a letter through XTest
# and times until X shows the pointer hidden, KEYS times (default 24), the
# pointer shown again by a move between them; then the CPU while ten keys a
# second go to Notepad for 10 s.
# Figures only: nothing here passes or fails.
#
# Uses $DISPLAY if it answers, else its own Xvfb; always its own fresh Wine
# prefix. Needs build/windows/bin/{pellucor,probe,bare_window}.exe, gcc and the X11,
# XFixes and XTest headers (libx11-dev libxfixes-dev libxtst-dev).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/lib.sh
source "$HERE/../tests/e2e/lib.sh"

reveals=${1:-24}
keys=${2:-24}
[[ $reveals =~ ^[1-9][0-9]*$ && $keys =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [REVEALS [KEYS]]" >&2; exit 2; }
bench_begin pellucor.exe probe.exe
need_x_cursor
# Notepad, later, comes to the front when it gets the X focus.
follow_x_focus
reg_set "$SETTINGS" "Hide While Typing" On

# A run going, the window brought back from the tray, the pointer on it.
start_run_on_window "$(app_dir)"

# cpu_ticks PID: user and system clock ticks the process has used so far.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

times=()
printf '%-7s %12s %12s\n' reveal "phase (ms)" "shown (ms)"
for ((i = 0; i < reveals; i++)); do
  wait_for 8 x_cursor_is hidden || { echo "bench: the cursor never hid" >&2; exit 1; }
  phase=$((i * 1000 / reveals))
  sleep "$(awk -v p="$phase" 'BEGIN { printf "%.3f", p / 1000 }')"
  ms=$(time_reveal 3)
  printf '%-7s %12s %12s\n' "$((i + 1))" "$phase" "$ms"
  [[ $ms =~ ^[0-9.]+$ ]] && times+=("$ms")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
worst=$(printf '%s\n' "${times[@]}" | sort -n | tail -n 1)

main=$APP_PID
guardian=$(guardian_pid || true)
hz=$(getconf CLK_TCK)

# cpu PID COMMAND...: the clock ticks PID uses while COMMAND runs (0 without a PID).
cpu() {
  local pid=$1 before after
  shift
  before=$([[ -n $pid ]] && cpu_ticks "$pid" || echo 0)
  "$@"
  after=$([[ -n $pid ]] && cpu_ticks "$pid" || echo 0)
  echo $((after - before))
}
# Both processes over one stretch: "MAIN GUARDIAN".
cpu2() {
  local m0 g0 m1 g1
  m0=$(cpu_ticks "$main")
  g0=$([[ -n $guardian ]] && cpu_ticks "$guardian" || echo 0)
  "$@"
  m1=$(cpu_ticks "$main")
  g1=$([[ -n $guardian ]] && cpu_ticks "$guardian" || echo 0)
  echo "$((m1 - m0)) $((g1 - g0))"
}
wiggle10() { "$E2E_XCURSOR" wiggle 10 100; }

# Moving without pause (100 small moves a second) over the program's window:
# Wine hands every motion to the process of the window under the pointer.
read -r over_main over_guardian < <(cpu2 wiggle10)
# Resting, hidden.
wait_for 8 x_cursor_is hidden || { echo "bench: the cursor never hid after moving" >&2; exit 1; }
read -r rest_main rest_guardian < <(cpu2 sleep 30)
# The usual case: the window in the tray, the mouse moving over other things.
probe minimize "$TITLE" >/dev/null
expect_hidden "$TITLE" 5
xdotool mousemove 900 600
sleep 1
read -r away_main away_guardian < <(cpu2 wiggle10)

# The yardstick: a bare Win32 window under the moving pointer.
bare_ticks=n/a
if [[ -f $E2E_BIN/bare_window.exe ]]; then
  mkdir -p "$WINEPREFIX/drive_c/Bare"
  cp "$E2E_BIN/bare_window.exe" "$WINEPREFIX/drive_c/Bare/"
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" 'C:\Bare\bare_window.exe') >/dev/null 2>&1 &
  bare=$!
  expect_window Bare 15
  facts=$(probe window Bare)
  xdotool mousemove $(($(kv client_x <<<"$facts") + 20)) $(($(kv client_y <<<"$facts") + 20))
  sleep 1
  bare_ticks=$(cpu "$bare" wiggle10)
  probe close Bare >/dev/null || true
  probe wait-gone Bare 5 >/dev/null || true  # off the tray, which the next click needs
fi

# Typing: the window back from the tray (the run goes on), Notepad in front
# with the keys, the pointer on the window. Each letter goes down with the
# pointer shown; a 30-pixel move, to and fro, shows it again before the next.
click_tray_icon 1
# With nothing in front (the bare window has gone), Wine's tray takes the
# first click to come to the front itself.
probe wait-window "$TITLE" 5 >/dev/null || click_tray_icon 1
expect_window "$TITLE" 5
start_notepad
focus_window "$NOTEPAD"
rest_pointer_on_window
wait_for 3 x_cursor_is shown || { echo "bench: the pointer is hidden before the first key" >&2; exit 1; }
key_times=()
letters=({a..z})
dx=-30
printf '\n%-7s %12s\n' key "hidden (ms)"
for ((i = 0; i < keys; i++)); do
  ms=$(time_hide "${letters[i % 26]}")
  printf '%-7s %12s\n' "$((i + 1))" "$ms"
  if [[ $ms =~ ^[0-9.]+$ ]]; then
    key_times+=("$ms")
    # Right, then back: the pointer stays on the window, where the program sees it move.
    "$E2E_XCURSOR" reveal $((dx = -dx)) 0 2000 >/dev/null || { echo "bench: a move did not show the pointer" >&2; exit 1; }
  fi
  wait_for 3 x_cursor_is shown || { echo "bench: the pointer stays hidden" >&2; exit 1; }
done
key_median=$(printf '%s\n' "${key_times[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
key_worst=$(printf '%s\n' "${key_times[@]}" | sort -n | tail -n 1)
# A hundred keys into Notepad, ten a second (xdotool's type waits half its
# --delay per key); the first hides the pointer, the rest find it hidden.
guardian=$(guardian_pid || true)
typing_started=$(now_ms)
read -r typing_main typing_guardian < <(cpu2 xdotool type --delay 200 "$(printf '%.0sten keys, ' {1..10})")
typing_seconds=$(awk -v ms="$(($(now_ms) - typing_started))" 'BEGIN { printf "%.1f", ms / 1000 }')

share() { awk -v t="$1" -v s="$2" -v hz="$hz" 'BEGIN { if (t == "n/a") print t; else printf "%.2f%%", 100 * t / hz / s }'; }
echo
echo "pellucor.exe, Wine $("$WINE64" --version 2>/dev/null), Xvfb $DISPLAY; CPU as a share of one core"
printf '%-58s %s\n' "reveals timed" "${#times[@]} of $reveals"
printf '%-58s %s ms\n' "reveal, median" "$median"
printf '%-58s %s ms\n' "reveal, worst" "$worst"
printf '%-58s %s / %s\n' "CPU moving 10 s, window in the tray (main / guardian)" "$(share "$away_main" 10)" \
  "$(share "$away_guardian" 10)"
printf '%-58s %s / %s\n' "CPU moving 10 s over its window (main / guardian)" "$(share "$over_main" 10)" \
  "$(share "$over_guardian" 10)"
printf '%-58s %s\n' "CPU moving 10 s over a bare Win32 window (yardstick)" "$(share "$bare_ticks" 10)"
printf '%-58s %s / %s\n' "CPU at rest, hidden, 30 s (main / guardian)" "$(share "$rest_main" 30)" \
  "$(share "$rest_guardian" 30)"
printf '%-58s %s of %s\n' "keys timed" "${#key_times[@]}" "$keys"
printf '%-58s %s ms\n' "typing: key down to hidden, median" "$key_median"
printf '%-58s %s ms\n' "typing: key down to hidden, worst" "$key_worst"
printf '%-58s %s / %s\n' "CPU typing 10 keys/s for ${typing_seconds} s (main / guardian)" \
  "$(share "$typing_main" "$typing_seconds")" "$(share "$typing_guardian" "$typing_seconds")"
[[ -n $guardian ]] || echo "(no guardian process was found)"
