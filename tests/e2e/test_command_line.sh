# shellcheck shell=bash
# The command line: a second start passes its switches to the running copy
# and ends with an exit code that says how it went (0 done, 1 refused, 2 no
# copy); a bad command line changes nothing.

readonly EXE_WIN='C:\Pellucor\pellucor.exe'

# _second_start ARGS...: runs another pellucor.exe with the switches from C:\,
# as a script would, and prints its exit status.
_second_start() {
  local status=0
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$EXE_WIN" "$@") >>"$E2E_SCENARIO_DIR/second.log" 2>&1 || status=$?
  printf '%s\n' "$status"
}

_window_hidden() { [[ $(window_fact "$TITLE" visible 2>/dev/null) == 0 ]]; }

# _timed_second_start ARGS...: prints "STATUS MILLISECONDS" for another start.
_timed_second_start() {
  local began status
  began=$(now_ms)
  status=$(_second_start "$@")
  printf '%s %s\n' "$status" $(($(now_ms) - began))
}

# _run_ends_within MS: true once the run button shows the start text again,
# looking until MS milliseconds from now.
_run_ends_within() {
  local deadline=$(($(now_ms) + $1))
  until has_control "$TITLE" "$START_TEXT"; do
    (($(now_ms) < deadline)) || return 1
    sleep 0.05
  done
}

test_command_line_drives_the_running_copy() {
  local dir box pid status
  need_x_cursor
  dir=$(app_dir)
  start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon 10 s after the window showed"

  local answered plain show
  read -r answered plain < <(_timed_second_start /seconds 7)
  assert_eq 0 "$answered" "exit code of /seconds 7"
  has_control "$TITLE" 7 || e2e_fail "the field does not show 7"
  expect_setting Path 7

  # The first /show brings the first balloon, which stays five seconds: the
  # sender has its answer first, as soon as a command that waits for nothing.
  read -r answered show < <(_timed_second_start /show)
  assert_eq 0 "$answered" "exit code of /show"
  ((show < plain + 1000)) || e2e_fail "/show took ${show} ms to answer, /seconds 7 took ${plain} ms"
  expect_shown_and_active "$TITLE"

  # /hide hides the resting pointer now, with no run; a move shows it.
  rest_pointer_on_window
  wait_for 2 x_cursor_is shown || e2e_fail "no visible cursor over the window: $(x_cursor)"
  assert_eq 0 "$(_second_start /hide)" "exit code of /hide"
  wait_for 2 x_cursor_is hidden || e2e_fail "/hide did not hide the pointer: $(x_cursor)"
  has_control "$TITLE" "$START_TEXT" || e2e_fail "/hide started a run"
  xdotool mousemove_relative -- 6 4
  wait_for 2 x_cursor_is shown || e2e_fail "the pointer hidden by /hide stays hidden after a move: $(x_cursor)"

  assert_eq 0 "$(_second_start -START)" "exit code of -START"
  expect_hidden "$TITLE" 5
  wait_for 5 has_control "$TITLE" "$STOP_TEXT" || e2e_fail "no run after /start"

  assert_eq 0 "$(_second_start /stop)" "exit code of /stop"
  wait_for 10 has_control "$TITLE" "$START_TEXT" || e2e_fail "the run goes on after /stop"
  _window_hidden || e2e_fail "a stop by command brought the window out of the tray"

  assert_eq 0 "$(_second_start /show)" "exit code of /show"
  expect_shown_and_active "$TITLE"

  # A bad value: a box from the second start, exit code 1, nothing changed.
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$EXE_WIN" /seconds abc /start) >>"$E2E_SCENARIO_DIR/second.log" 2>&1 &
  pid=$!
  box=$(probe box "$TITLE" 15) || e2e_fail "no box for /seconds abc"
  assert_contains "$(kv text <<<"$box" | unescape)" '"abc"' "the box for /seconds abc"
  probe press "$TITLE" 1 >/dev/null || e2e_fail "cannot press OK"
  status=0
  wait "$pid" || status=$?
  assert_eq 1 "$status" "exit code of /seconds abc"
  assert_eq 1 "$(_second_start /bogus /silent)" "exit code of /bogus /silent"
  assert_eq 1 "$(_second_start /start /stop -Silent)" "exit code of two actions"
  expect_no_box "$TITLE" 1
  has_control "$TITLE" 7 || e2e_fail "the field changed after refused commands"
  has_control "$TITLE" "$START_TEXT" || e2e_fail "a refused command started a run"
  assert_eq 7 "$(reg_query "$SETTINGS" Path)" "stored seconds after refused commands"

  assert_eq 0 "$(_second_start /exit)" "exit code of /exit"
  expect_app_exit 10
  [[ -z $(program_pids) ]] || e2e_fail "pellucor.exe still runs after /exit"

  assert_eq 2 "$(_second_start /stop /silent)" "exit code of /stop with no copy"
  assert_eq 2 "$(_second_start /exit /silent)" "exit code of /exit with no copy"
  assert_eq 2 "$(_second_start /hide /silent)" "exit code of /hide with no copy"
  [[ -z $(program_pids) ]] || e2e_fail "/stop, /exit or /hide with no copy started the program"
}

_window_made() { probe window "$TITLE" >/dev/null 2>&1; }

test_command_line_start_with_no_copy_begins_a_run() {
  local dir box pid status
  dir=$(app_dir)

  # /? only shows the usage, and starts nothing.
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$EXE_WIN" -?) >>"$E2E_SCENARIO_DIR/second.log" 2>&1 &
  pid=$!
  box=$(probe box "$TITLE" 15) || e2e_fail "no usage box for -?"
  assert_contains "$(kv text <<<"$box" | unescape)" "/seconds N" "the usage"
  assert_contains "$(kv text <<<"$box" | unescape)" "Exit codes" "the usage"
  probe press "$TITLE" 1 >/dev/null || e2e_fail "cannot press OK"
  status=0
  wait "$pid" || status=$?
  assert_eq 0 "$status" "exit code of -?"
  [[ -z $(program_pids) ]] || e2e_fail "-? left pellucor.exe running"

  start_app "$dir" /seconds 2 /start
  # The run begins a millisecond after the window shows and takes it into
  # the tray at once: a look for the visible window may fall in between.
  wait_for 20 _window_made || e2e_fail "no window 20 s after the start with /start"
  # The stop comes while the first run's balloon still shows: the run ends
  # at once, not when the balloon's five seconds are over.
  wait_for 5 balloon_text >/dev/null || e2e_fail "no balloon within 5 s of the window"
  has_control "$TITLE" "$STOP_TEXT" || e2e_fail "no run after starting with /start"
  expect_hidden "$TITLE" 1
  assert_eq 0 "$(_second_start /stop)" "exit code of /stop"
  _run_ends_within 1000 || e2e_fail "the run still goes on a second after /stop answered"
  _window_hidden || e2e_fail "a stop by command brought the window out of the tray"
  has_control "$TITLE" 2 || e2e_fail "the field does not show 2"
  expect_setting Path 2
  assert_eq 0 "$(_second_start /exit /silent)" "exit code of /exit"
  expect_app_exit 10
}
