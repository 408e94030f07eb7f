# shellcheck shell=bash
# Helpers for the end-to-end scenarios: the real pellucor.exe under Wine on a
# headless X server, looked at through probe.exe, X screenshots and xdotool.
#
# run.sh sources this once to set up the run (X server, a fresh Wine prefix)
# and again in every scenario process, which gets its own copy of that prefix
# and its own wineserver, so that no scenario sees another's registry, tray or
# leftover windows. Assertions end the scenario at the first failure; do not
# call them inside $(...), where they would only end the subshell.

E2E_ROOT=${E2E_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_BIN=${E2E_BIN:-$E2E_ROOT/build/windows/bin}
E2E_OUT=${E2E_OUT:-$E2E_ROOT/build/e2e}
E2E_DATA=${E2E_DATA:-$E2E_ROOT/tests/e2e/data}
# What scripts/package.sh made: the installer and the portable zip.
E2E_DIST=${E2E_DIST:-$E2E_ROOT/build/dist}
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
E2E_SCREEN=${E2E_SCREEN:-1280x800x24}
export E2E_ROOT E2E_BIN E2E_OUT E2E_DATA E2E_DIST WINE64 WINESERVER E2E_SCREEN
# No debug chatter, and no offer to install .NET or Gecko into a fresh prefix.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

e2e_log() { printf '%s\n' "$*" >&2; }

# The program's own texts that several scenarios look for.
# shellcheck disable=SC2034  # used by the scenario files
{
  TITLE=Pellucor
  ERROR_CAPTION="Application Error"
  STARTUP_BOX="Load this software on Windows startup"
  MINIMISED_BOX="Minimized to system tray"
  START_TEXT="Start Running (Press Ctrl + Shift + S To Stop)"
  STOP_TEXT="Stop Running (Press Ctrl + Shift + S To Stop)"
  SETTINGS='HKCU\Software\Trandavel\Pellucor'
  NOTEPAD="notes.txt - Notepad"
}

# --- Failing, skipping and asserting ----------------------------------------

# Ends the scenario as failed; the first line of the message is what run.sh
# prints after FAIL.
e2e_fail() {
  local message="$*"
  [[ -n ${E2E_FAIL_FILE:-} ]] && printf '%s\n' "$message" >>"$E2E_FAIL_FILE"
  e2e_log "FAILED: $message"
  exit 1
}

# Ends the scenario as skipped (exit 77, the usual "skipped" code).
e2e_skip() {
  [[ -n ${E2E_FAIL_FILE:-} ]] && printf '%s\n' "$*" >>"$E2E_FAIL_FILE"
  e2e_log "SKIPPED: $*"
  exit 77
}

# assert_eq EXPECTED ACTUAL [WHAT]
assert_eq() {
  [[ "$1" == "$2" ]] || e2e_fail "${3:-value}: expected '$1', got '$2'"
}

# assert_ne UNEXPECTED ACTUAL [WHAT]
assert_ne() {
  [[ "$1" != "$2" ]] || e2e_fail "${3:-value}: expected anything but '$1'"
}

# assert_contains HAYSTACK NEEDLE [WHAT]
assert_contains() {
  [[ "$1" == *"$2"* ]] || e2e_fail "${3:-text}: '$2' not found in '$1'"
}

# assert_not_contains HAYSTACK NEEDLE [WHAT]
assert_not_contains() {
  [[ "$1" != *"$2"* ]] || e2e_fail "${3:-text}: '$2' unexpectedly found in '$1'"
}

# assert_near EXPECTED ACTUAL TOLERANCE [WHAT]: integers within the tolerance.
assert_near() {
  local d=$(($2 - $1))
  ((d < 0)) && d=$((-d))
  ((d <= $3)) || e2e_fail "${4:-value}: expected $1 (+-$3), got $2"
}

# --- probe.exe and its output -------------------------------------------------

# probe COMMAND ARGS...: runs probe.exe in the scenario's prefix.
probe() {
  "$WINE64" "$E2E_BIN/probe.exe" "$@"
}

# kv KEY: the value of KEY=... among single-object lines on stdin.
kv() {
  local key=$1 line
  while IFS= read -r line; do
    if [[ $line == "$key="* ]]; then
      printf '%s\n' "${line#"$key="}"
      return 0
    fi
  done
  return 1
}

# field KEY RECORD: the value of KEY in one record line (quotes removed).
field() {
  local key=$1 record=" $2"
  if [[ $record =~ \ $key=\"([^\"]*)\" ]] || [[ $record =~ \ $key=([^ ]*) ]]; then
    printf '%s\n' "${BASH_REMATCH[1]}"
    return 0
  fi
  return 1
}

# unescape: undoes probe's escapes (\r \n \t \\ \xHH) of stdin.
unescape() {
  local text
  text=$(cat)
  printf '%b' "$text"
}

# control_line CONTROLS TEXT: the record of the control with exactly that
# (escaped) text among the output of `probe controls`.
control_line() {
  grep -F -- " text=\"$2\" " <<<"$1" | head -n 1
}

# window_fact TITLE KEY: one fact about a top-level window.
window_fact() {
  probe window "$1" | kv "$2"
}

# control_fact TITLE SELECTOR KEY: one fact about a control.
control_fact() {
  probe control "$1" "$2" | kv "$3"
}

# wait_for SECONDS COMMAND...: retries COMMAND every 0.2 s until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

# expect_window TITLE [SECONDS]: fails the scenario unless a visible window
# with exactly that title appears in time.
expect_window() {
  probe wait-window "$1" "${2:-15}" >/dev/null || e2e_fail "no visible window titled '$1' within ${2:-15} s"
}

# expect_no_box CAPTION [SECONDS]: fails if a dialog with that caption shows
# up within the time (0: just look now).
expect_no_box() {
  local text
  if text=$(probe box "$1" "${2:-0}" 2>/dev/null); then
    e2e_fail "unexpected '$1' box: $(kv text <<<"$text")"
  fi
}

# --- The X display -------------------------------------------------------------

# Uses $DISPLAY when it answers; otherwise starts Xvfb on the first free display
# from $E2E_DISPLAY_FROM (default 99) and exports DISPLAY and E2E_XVFB_PID.
e2e_start_display() {
  if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n=${E2E_DISPLAY_FROM:-99} last=$((${E2E_DISPLAY_FROM:-99} + 50))
  for (( ; n < last; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "$E2E_SCREEN" -nolisten tcp -noreset >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    export DISPLAY=":$n" E2E_XVFB_PID
    if wait_for 10 _e2e_display_up; then
      return 0
    fi
    kill "$E2E_XVFB_PID" 2>/dev/null || true  # lost a race for that number
    unset E2E_XVFB_PID
  done
  e2e_log "cannot start Xvfb"
  return 1
}

_e2e_display_up() {
  kill -0 "$E2E_XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1
}

# --- Wine prefixes -----------------------------------------------------------------

# Makes the run's fresh prefix in $E2E_TMP/base (about 15 s) and waits until its
# wineserver has written the registry, so that it can be copied.
e2e_make_base_prefix() {
  export E2E_BASE_PREFIX=$E2E_TMP/base
  WINEPREFIX=$E2E_BASE_PREFIX "$WINE64" wineboot -u >"$E2E_TMP/wineboot.log" 2>&1 || {
    e2e_log "wineboot failed:"
    cat "$E2E_TMP/wineboot.log" >&2
    return 1
  }
  # With no window manager on Xvfb, Wine draws the window frames itself, as
  # Windows would, so that screenshots show captions; the caption buttons need
  # Wine's Marlett font in the prefix.
  WINEPREFIX=$E2E_BASE_PREFIX "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  local marlett=/usr/share/wine/fonts/marlett.ttf
  [[ -f $marlett ]] && cp "$marlett" "$E2E_BASE_PREFIX/drive_c/windows/Fonts/"
  WINEPREFIX=$E2E_BASE_PREFIX "$WINESERVER" -w
}

# e2e_clone_prefix DEST: a copy of the base prefix in no time. Program files are
# hard links (nothing writes into them); everything else Wine may rewrite in
# place (registry, .ini files) is a real copy.
e2e_clone_prefix() {
  local dest=$1
  cp -al "$E2E_BASE_PREFIX" "$dest"
  find "$dest" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' \
    ! -iname '*.ocx' ! -iname '*.acm' ! -iname '*.cpl' ! -iname '*.tlb' ! -iname '*.ax' \
    ! -iname '*.ttf' ! -iname '*.nls' -print0 |
    while IFS= read -r -d '' f; do
      cp --remove-destination "$E2E_BASE_PREFIX/${f#"$dest"/}" "$f"
    done
}

# bench_begin FILE...: what the benchmark scripts share. Checks that the
# named files are in $E2E_BIN, then gives the script a scratch folder (gone
# at exit, with its wineserver and Xvfb), a display and one fresh Wine prefix
# with a server that stays up between runs, as on a desktop where Wine
# already runs. Sets WINEPREFIX and E2E_SCENARIO_DIR.
bench_begin() {
  local file
  for file in "$@"; do
    [[ -f $E2E_BIN/$file ]] || { echo "bench: missing $E2E_BIN/$file (cmake --build --preset windows)" >&2; exit 2; }
  done
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pellucor-bench.XXXXXX")
  E2E_SCENARIO_DIR=$E2E_TMP
  export E2E_TMP
  trap _bench_end EXIT
  trap 'exit 130' INT TERM
  e2e_start_display
  echo "bench: display $DISPLAY; making a fresh Wine prefix..." >&2
  e2e_make_base_prefix
  export WINEPREFIX=$E2E_BASE_PREFIX
  "$WINESERVER" -p
  E2E_APP_PIDS=()
}

_bench_end() {
  if [[ -n ${WINEPREFIX:-} ]]; then "$WINESERVER" -k 2>/dev/null || true; fi
  if [[ -n ${E2E_XVFB_PID:-} ]]; then kill "$E2E_XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$E2E_TMP"
}

# Called by run.sh in the scenario's own process: its prefix, its wineserver
# (kept alive between the short probe.exe runs), its output names.
e2e_scenario_begin() {
  E2E_SCENARIO=$1
  E2E_SCENARIO_DIR=$E2E_TMP/$E2E_SCENARIO
  mkdir -p "$E2E_SCENARIO_DIR" "$E2E_OUT"
  export WINEPREFIX=$E2E_SCENARIO_DIR/prefix
  e2e_clone_prefix "$WINEPREFIX"
  "$WINESERVER" -p
  E2E_APP_PIDS=()
  trap e2e_scenario_end EXIT
  # A command that fails outside any assertion ends the scenario (set -e); say which.
  set -E
  trap '_e2e_on_error $? "$BASH_COMMAND" "${BASH_SOURCE[0]##*/}" "$LINENO"' ERR
}

_e2e_on_error() {
  if [[ -n ${E2E_FAIL_FILE:-} && ! -s $E2E_FAIL_FILE ]]; then
    printf "command '%s' failed with status %s (%s:%s)\n" "$2" "$1" "$3" "$4" >>"$E2E_FAIL_FILE"
  fi
}

e2e_scenario_end() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}

# --- The program under test ------------------------------------------------------

# app_dir [NAME]: a folder C:\NAME (default Pellucor) in the scenario's prefix
# holding a fresh copy of pellucor.exe; prints its Unix path. Files put beside
# the copy (HAND-M.CUR, x\o.cjs) are the scenario's own.
app_dir() {
  local dir=$WINEPREFIX/drive_c/${1:-Pellucor}
  mkdir -p "$dir"
  cp "$E2E_BIN/pellucor.exe" "$dir/"
  printf '%s\n' "$dir"
}

# start_app DIR [ARGS...]: starts DIR/pellucor.exe in the background from
# another working folder (C:\), as a shortcut or the Run key would, so the
# program must find its files by its own folder. Sets APP_PID to the Linux pid
# of the Wine process that runs it. Its output, and that of any process it
# starts, goes to app.log; APP_WINEDEBUG sets its WINEDEBUG.
start_app() {
  local dir=$1
  shift
  (cd "$WINEPREFIX/drive_c" && WINEDEBUG=${APP_WINEDEBUG:-$WINEDEBUG} exec "$WINE64" "$dir/pellucor.exe" "$@") \
    >>"$E2E_SCENARIO_DIR/app.log" 2>&1 &
  APP_PID=$!
  E2E_APP_PIDS+=("$APP_PID")
}

# app_running [PID]: true while the process (default $APP_PID) runs.
app_running() {
  local pid=${1:-$APP_PID} state
  kill -0 "$pid" 2>/dev/null || return 1
  state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
  if [[ $state == Z ]]; then
    wait "$pid" 2>/dev/null || true  # ended: reap it
    return 1
  fi
  return 0
}

_e2e_app_gone() { ! app_running "$1"; }

# expect_app_exit SECONDS [PID]: fails unless the process ends in time.
expect_app_exit() {
  local pid=${2:-$APP_PID}
  wait_for "$1" _e2e_app_gone "$pid" || e2e_fail "pellucor.exe (pid $pid) still runs $1 s later"
}

# stop_app [PID]: ends the program the hard way, for clean-up.
stop_app() {
  local pid=${1:-$APP_PID}
  kill "$pid" 2>/dev/null || true
  wait_for 5 _e2e_app_gone "$pid" || kill -9 "$pid" 2>/dev/null || true
}

# program_pids: the Linux pids of every live pellucor.exe process of this
# scenario's prefix (the program and its guardian), one per line. Only
# processes running pellucor.exe count, not one that merely names it (an
# explorer.exe asked to open it).
program_pids() {
  local pid state image
  for pid in $(pgrep -f 'pellucor\.exe' || true); do
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || continue
    [[ $state == Z ]] && continue
    [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == */wine* ]] || continue
    # The first word that is not Wine's own loader (there while it starts).
    image=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -v -m 1 -E '(^|/)wine(64)?(-preloader)?$')
    [[ ${image,,} == *pellucor.exe ]] || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
  return 0
}

# process_table: every Windows process of the prefix as Wine's wmic lists
# it, one per line: name, parent's process id, process id.
process_table() {
  "$WINE64" wmic process get Name,ParentProcessId,ProcessId 2>/dev/null | iconv -f UTF-16 -t UTF-8 | tr -d '\r'
}

# guardian_pid: the Linux pid of the running guardian, status 1 if none.
guardian_pid() {
  local pid
  for pid in $(program_pids); do
    if tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q ' /guardian '; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# --- Screens, pixels, mouse and keyboard --------------------------------------------

# screenshot NAME: the whole screen into $E2E_OUT/<scenario>-NAME.png; prints the path.
screenshot() {
  local file=$E2E_OUT/${E2E_SCENARIO:-run}-$1.png
  import -window root "$file"
  printf '%s\n' "$file"
}

# window_shot TITLE NAME: a screenshot cropped to the window (frame included).
window_shot() {
  local facts full file=$E2E_OUT/${E2E_SCENARIO:-run}-$2.png
  facts=$(probe window "$1") || e2e_fail "no window '$1' to photograph"
  full=$(screenshot "$2-full")
  convert "$full" -crop "$(kv w <<<"$facts")x$(kv h <<<"$facts")+$(kv x <<<"$facts")+$(kv y <<<"$facts")" \
    +repage "$file"
  printf '%s\n' "$file"
}

# pixel PNG X Y: the colour at X,Y as #RRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*\(#[0-9A-Fa-f]\{6\}\).*/\1/p' | head -n 1
}

# client_pixel PNG TITLE DX DY: the colour at DX,DY from the window's client origin.
client_pixel() {
  local facts
  facts=$(probe window "$2") || return 1
  pixel "$1" $(($(kv client_x <<<"$facts") + $3)) $(($(kv client_y <<<"$facts") + $4))
}

# x_window TITLE: the X window id of the visible window with exactly that title.
x_window() {
  xdotool search --onlyvisible --name "^$(_e2e_regex "$1")\$" 2>/dev/null | head -n 1
}

# Backslashes before the characters special in xdotool's regular expressions.
# shellcheck disable=SC2016 # sed's own $ and ()
_e2e_regex() { sed 's/[][\.*^$()+?{}|/]/\\&/g' <<<"$1"; }

# follow_x_focus: with no window manager, Wine waits for one to offer the
# focus (WM_TAKE_FOCUS) before it makes a window that got the X focus the
# foreground window, so focus_window alone moves the keys on X but leaves
# Windows' foreground, and with it where Windows sends the keys, where it
# was. This makes Wine bring the window with the X focus to the front, as a
# click on it or Alt+Tab would. Programs started afterwards follow it.
follow_x_focus() {
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /t REG_SZ /d N /f >/dev/null 2>&1 ||
    e2e_fail "cannot make Wine follow the X focus"
}

# focus_window TITLE: gives the Wine window the X keyboard focus, which Wine
# needs before it sees any key.
focus_window() {
  local xid
  xid=$(x_window "$1")
  [[ -n $xid ]] || e2e_fail "no X window titled '$1' to focus"
  xdotool windowfocus --sync "$xid"
}

# click_control TITLE SELECTOR [BUTTON]: moves the real pointer to the middle of
# a control and clicks.
click_control() {
  local win ctl
  win=$(probe window "$1") || e2e_fail "no window '$1'"
  ctl=$(probe control "$1" "$2") || e2e_fail "no control '$2' in '$1'"
  xdotool mousemove \
    $(($(kv client_x <<<"$win") + $(kv x <<<"$ctl") + $(kv w <<<"$ctl") / 2)) \
    $(($(kv client_y <<<"$win") + $(kv y <<<"$ctl") + $(kv h <<<"$ctl") / 2)) \
    click "${3:-1}"
}

# press_chord KEYS: a key combination (as xdotool names it, ctrl+shift+s) to
# whatever has the focus, held down for a tenth of a second as a person
# would, not released in the same millisecond.
press_chord() {
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
}

# type_text TITLE TEXT / press_keys TITLE KEYS...: keyboard input to a window.
type_text() {
  focus_window "$1"
  xdotool type --delay 20 "$2"
}
press_keys() {
  local title=$1
  shift
  focus_window "$title"
  xdotool key --delay 20 "$@"
}

# start_notepad: Wine's Notepad with C:\notes.txt ("notes"), below the main
# window and the tray, so that it covers neither; waits for its window
# ($NOTEPAD). Sets NOTES to the file's path here.
start_notepad() {
  local v
  for v in X:0 Y:560 DX:420 DY:200; do
    "$WINE64" reg add 'HKCU\Software\Microsoft\Notepad' /v "iWindowPos${v%%:*}" /t REG_DWORD /d "${v##*:}" /f \
      >/dev/null 2>&1 || e2e_fail "cannot place Notepad"
  done
  NOTES="$WINEPREFIX/drive_c/notes.txt"
  printf 'notes\r\n' >"$NOTES"
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" notepad 'C:\notes.txt') >>"$E2E_SCENARIO_DIR/notepad.log" 2>&1 &
  expect_window "$NOTEPAD" 15
}

# notepad_text: what Notepad's page holds (escaped).
notepad_text() {
  control_fact "$NOTEPAD" class:Edit text
}

# --- Tray and balloons ---------------------------------------------------------------
# Wine shows the notification area as a top-level window "Wine System Tray"
# whose children are the icons; a balloon is a visible tooltips_class32 window.

# tray_icons: one `icon ...` record per visible tray icon (screen coordinates).
tray_icons() {
  probe tray 2>/dev/null | grep '^icon .* visible=1' || true
}

# tray_icon_count: how many icons the tray shows.
tray_icon_count() {
  local icons
  icons=$(tray_icons)
  if [[ -z $icons ]]; then echo 0; else wc -l <<<"$icons"; fi
}

# click_tray_icon [BUTTON] [INDEX]: clicks the INDEX-th visible icon (default
# the first) with the mouse BUTTON (1 left, 3 right).
click_tray_icon() {
  local icon
  icon=$(tray_icons | sed -n "${2:-1}p")
  [[ -n $icon ]] || e2e_fail "no tray icon number ${2:-1} to click"
  xdotool mousemove "$(field cx "$icon")" "$(field cy "$icon")" click "${1:-1}"
}

# tray_tip [INDEX]: the tip text of a tray icon (escaped), status 1 if none.
tray_tip() {
  local icon hwnd tip
  icon=$(tray_icons | sed -n "${1:-1}p")
  [[ -n $icon ]] || return 1
  hwnd=$(field hwnd "$icon")
  while IFS= read -r tip; do
    probe tooltip-tools "$(field hwnd "$tip")" 2>/dev/null |
      awk -v h="$hwnd" -F= '$1 ~ /\.hwnd$/ { want = ($2 == h) } want && $1 ~ /\.text$/ { sub(/^[^=]*=/, ""); print; found = 1; exit } END { exit !found }' &&
      return 0
  done < <(probe tooltips 2>/dev/null | grep ' balloon=0 ')
  return 1
}

# balloon_text: the text of the visible balloon (escaped), status 1 if none.
balloon_text() {
  local line
  line=$(probe tooltips --visible 2>/dev/null | grep ' balloon=1 ' | head -n 1)
  [[ -n $line ]] || return 1
  field text "$line"
}

# wait_tray_icons COUNT SECONDS: waits until the tray shows exactly COUNT icons.
wait_tray_icons() {
  wait_for "$2" _e2e_tray_icons_are "$1"
}
_e2e_tray_icons_are() { [[ $(tray_icon_count) == "$1" ]]; }

# tray_icon_pixel [NAME]: the colour at the centre of the first tray icon, as
# #RRGGBB, from a screenshot named NAME (default tray) that stays for a look.
tray_icon_pixel() {
  local icon shot
  icon=$(tray_icons | head -n 1)
  [[ -n $icon ]] || return 1
  shot=$(screenshot "${1:-tray}")
  pixel "$shot" "$(field cx "$icon")" "$(field cy "$icon")"
}

# --- Window state ---------------------------------------------------------------------

# expect_hidden TITLE [SECONDS]: fails unless the window exists and is (or
# becomes in time) hidden, with no mapped X window, which is what keeps it off
# any taskbar.
expect_hidden() {
  probe wait-gone "$1" "${2:-5}" >/dev/null || e2e_fail "window '$1' still visible after ${2:-5} s"
  assert_eq 0 "$(window_fact "$1" visible)" "'$1' visible"
  wait_for 3 _e2e_no_x_window "$1" || e2e_fail "window '$1' is hidden for Windows but still mapped on X"
}
_e2e_no_x_window() { [[ -z $(x_window "$1") ]]; }

# expect_shown_and_active TITLE [SECONDS]: fails unless the window is (or
# becomes in time) visible, not minimised, active and in the foreground.
expect_shown_and_active() {
  local title=$1 facts
  expect_window "$title" "${2:-5}"
  wait_for 3 _e2e_window_active "$title" || true
  facts=$(probe window "$title")
  assert_eq 1 "$(kv visible <<<"$facts")" "'$title' visible"
  assert_eq 0 "$(kv iconic <<<"$facts")" "'$title' minimised"
  assert_eq 1 "$(kv active <<<"$facts")" "'$title' is its thread's active window"
  assert_eq 1 "$(kv foreground <<<"$facts")" "'$title' is the foreground window"
}
_e2e_window_active() {
  local facts
  facts=$(probe window "$1" 2>/dev/null) || return 1
  [[ $(kv active <<<"$facts") == 1 && $(kv foreground <<<"$facts") == 1 ]]
}

# has_control TITLE TEXT: true when the window has a child with exactly that
# text (readable while the window is hidden).
has_control() {
  probe control "$1" "$2" >/dev/null 2>&1
}

# expect_options_layout TITLE NAME: every control of the Options window
# inside it and clear of the others; the pixels field on its label's line,
# between the label and "pixels"; a screenshot of it named NAME, to look at.
expect_options_layout() {
  local title=$1 name=$2 facts overlaps
  facts=$( (probe window "$title" | grep -E '^client_[wh]='; probe controls "$title" | grep '^control ') ) ||
    e2e_fail "no '$title' window to measure"
  overlaps=$(awk '
    /^client_w=/ { sub(/.*=/, ""); cw = $0 + 0; next }
    /^client_h=/ { sub(/.*=/, ""); ch = $0 + 0; next }
    {
      for (i = 1; i <= NF; i++) { split($i, kv, "="); f[kv[1]] = kv[2] }
      n++; id[n] = f["id"]; x[n] = f["x"]; y[n] = f["y"]; r[n] = f["x"] + f["w"]; b[n] = f["y"] + f["h"]
    }
    END {
      for (i = 1; i <= n; i++) {
        if (x[i] < 0 || y[i] < 0 || r[i] > cw || b[i] > ch) printf "id %s sticks out; ", id[i]
        for (j = i + 1; j <= n; j++)
          if (x[i] < r[j] && x[j] < r[i] && y[i] < b[j] && y[j] < b[i]) printf "ids %s and %s overlap; ", id[i], id[j]
        if (id[i] == 202) { lr = r[i]; lt = y[i]; lb = b[i] }
        if (id[i] == 203) { fl = x[i]; fr = r[i]; fm = (y[i] + b[i]) / 2 }
        if (id[i] == 204) ul = x[i]
      }
      if (!(lr <= fl && fr <= ul && fm >= lt && fm <= lb)) print "the pixels field is not between its label and pixels, on their line"
    }' <<<"$facts")
  [[ -z $overlaps ]] || e2e_fail "$name: $overlaps"
  window_shot "$title" "$name"
}

# --- A run ------------------------------------------------------------------------------

# rest_pointer_on_window: the pointer on a spot of the main window that no
# control covers.
rest_pointer_on_window() {
  local facts
  facts=$(probe window "$TITLE") || e2e_fail "no window '$TITLE'"
  xdotool mousemove $(($(kv client_x <<<"$facts") + 4)) $(($(kv client_y <<<"$facts") + 4))
}

_e2e_no_balloon() { ! balloon_text >/dev/null; }

# start_run_on_window DIR: starts DIR/pellucor.exe, starts a run, lets the
# first run's balloon go, brings the window back from the tray (the run goes
# on) and rests the pointer on it: Wine hides a cursor only over the hiding
# thread's own windows.
start_run_on_window() {
  start_app "$1"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon 10 s after the window showed"
  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5
  # The timer starts once the start's balloon is over.
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon at the first run"
  wait_for 8 _e2e_no_balloon || e2e_fail "the balloon stays up"
  click_tray_icon 1
  expect_window "$TITLE" 5
  has_control "$TITLE" "$STOP_TEXT" || e2e_fail "the run did not start"
  rest_pointer_on_window
}

# --- What X shows ------------------------------------------------------------------------

# need_x_cursor: builds tests/e2e/xcursor.c for x_cursor and time_reveal, or
# skips the scenario when it cannot be built. Call it first, not inside $(...).
need_x_cursor() {
  E2E_XCURSOR=$E2E_SCENARIO_DIR/xcursor
  [[ -x $E2E_XCURSOR ]] && return 0
  command -v cc >/dev/null 2>&1 || e2e_skip "no C compiler for tests/e2e/xcursor.c (apt-get install gcc)"
  cc -o "$E2E_XCURSOR" "$E2E_ROOT/tests/e2e/xcursor.c" -lX11 -lXfixes -lXtst >"$E2E_SCENARIO_DIR/xcursor.log" 2>&1 ||
    e2e_skip "cannot build tests/e2e/xcursor.c (apt-get install libx11-dev libxfixes-dev libxtst-dev): $(head -n 1 "$E2E_SCENARIO_DIR/xcursor.log")"
}

# x_cursor: the cursor image the X server shows now, as
# "width=W height=H transparent=0|1 serial=N".
x_cursor() {
  "${E2E_XCURSOR:?call need_x_cursor first}"
}

# x_cursor_is hidden|shown: whether X shows a blank 1x1 cursor (what Wine
# makes of a hidden Windows cursor) or a cursor with visible pixels.
x_cursor_is() {
  local now
  now=$(x_cursor) || return 1
  case $1 in
    hidden) [[ $now == "width=1 height=1 transparent=1 "* ]] ;;
    shown) [[ $now == *" transparent=0 "* ]] ;;
    *) e2e_fail "x_cursor_is: unknown state '$1'" ;;
  esac
}

# time_reveal [PIXELS]: with the cursor hidden now, moves the pointer PIXELS
# (default 3) to the right through XTest and prints the milliseconds until X
# shows a visible cursor again; "timeout" after 2 s, "not-hidden" if it was
# not hidden to begin with.
time_reveal() {
  local out
  out=$("${E2E_XCURSOR:?call need_x_cursor first}" reveal "${1:-3}" 0 2000) || true
  printf '%s\n' "${out#ms=}"
}

# time_hide KEY: with the cursor visible now, presses KEY (an X keysym: a,
# space) through XTest and prints the milliseconds until X shows a hidden
# cursor; "timeout" after 2 s, "not-shown" if it was hidden to begin with.
time_hide() {
  local out
  out=$("${E2E_XCURSOR:?call need_x_cursor first}" press "$1" 2000) || true
  printf '%s\n' "${out#ms=}"
}

# now_ms: a clock in milliseconds, for timing what the program does.
now_ms() {
  date +%s%3N
}

# --- Registry ---------------------------------------------------------------------

# reg_query KEY NAME: the data of a registry value, or status 1 when absent.
reg_query() {
  local out
  out=$("$WINE64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  # Lines read "    NAME    REG_TYPE    DATA"; the name may hold spaces.
  awk -v name="$2" 'BEGIN { FS = "    " }
    $2 == name && $3 ~ /^REG_/ { print substr($0, length(FS name FS $3 FS) + 1); found = 1; exit }
    END { exit !found }' <<<"$out"
}

# reg_key_exists KEY: true while the registry key exists.
reg_key_exists() {
  "$WINE64" reg query "$1" >/dev/null 2>&1
}

# unix_path WINDOWS_PATH: where a path of the prefix lies on this machine.
unix_path() {
  "$WINE64" winepath -u "$1" 2>/dev/null | tr -d '\r'
}

# reg_set KEY NAME DATA: writes a REG_SZ value.
reg_set() {
  "$WINE64" reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1
}

_setting_is() { [[ $(reg_query "$SETTINGS" "$1" 2>/dev/null) == "$2" ]]; }

# expect_setting NAME DATA: the program's stored value becomes DATA within 3 s.
expect_setting() {
  wait_for 3 _setting_is "$1" "$2" ||
    e2e_fail "setting '$1': expected '$2', got '$(reg_query "$SETTINGS" "$1" 2>/dev/null || echo '(none)')'"
}

# --- Calls the eye can't see --------------------------------------------------------

# relay_trace FUNCTIONS: Wine's relay trace of those calls (dll.Function,
# separated by ";") for the program's starts with APP_WINEDEBUG=+pid,+relay;
# it goes to app.log, whose path TRACE holds. Each call reads
# "PID:TID:Call dll.Function(args) ret=..."; the process's children write
# to the same file.
relay_trace() {
  "$WINE64" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
    e2e_fail "cannot set up the relay trace"
  TRACE=$E2E_SCENARIO_DIR/app.log
}

# traced_since LINE PATTERN: true when a line after line LINE of the trace
# matches the extended regular expression.
traced_since() {
  tail -n +"$(($1 + 1))" "${TRACE:?call relay_trace first}" | grep -qE -- "$2"
}

# trace_lines: how many lines the trace holds now, a mark for traced_since.
trace_lines() {
  wc -l <"${TRACE:?call relay_trace first}"
}
