# shellcheck shell=bash
# The guardian: hiding swaps the standard system cursors, and if the program
# is killed or hangs while they are blank, its guardian process puts the
# user's cursors back. Wine does not apply replaced system cursors, so the
# calls are read from Wine's relay trace: each line starts with the calling
# process's and thread's ids ("0138:013c:Call user32...").

readonly SPI_SETCURSORS_CALL=':Call user32.SystemParametersInfoW(00000057,'

readonly SESSION_KEY='HKCU\Software\Trandavel\Pellucor\Session'

# A relay trace of the two cursor calls, in app.log (TRACE), for the
# program's starts with APP_WINEDEBUG=+pid,+relay.
_guardian_trace() {
  need_x_cursor
  relay_trace 'user32.SetSystemCursor;user32.SystemParametersInfoW'
}

# Starts the program with a relay trace of the two cursor calls in app.log,
# lets the cursor hide, and sets MAIN to the program's Wine process id.
_guardian_start_hidden() {
  _guardian_trace
  APP_WINEDEBUG=+pid,+relay start_run_on_window "$(app_dir)"
  wait_for 8 x_cursor_is hidden || e2e_fail "the resting cursor never hid: $(x_cursor)"
  wait_for 3 _main_wine_pid >/dev/null || e2e_fail "hiding replaced no system cursor"
  MAIN=$(_main_wine_pid)
  # Started through a launcher that nobody waits for: it comes a moment later.
  wait_for 3 guardian_pid >/dev/null || e2e_fail "no guardian process while the cursors are blank"
}

# The Wine process id of the program: the one that blanks the cursors.
_main_wine_pid() {
  grep -m1 ':Call user32.SetSystemCursor(' "$TRACE" | cut -d: -f1
}

# _cursor_restores_after LINE: the calling process of every SPI_SETCURSORS
# call after line LINE of the trace, one per line.
_cursor_restores_after() {
  tail -n +"$(($1 + 1))" "$TRACE" | grep -F "$SPI_SETCURSORS_CALL" | cut -d: -f1
}
_restored_by_other_than() { _cursor_restores_after "$1" | grep -qv "^$2\$"; }
_swapped_again_after() { tail -n +"$(($1 + 1))" "$TRACE" | grep -q "^$2:.*:Call user32.SetSystemCursor("; }
_no_program_left() { [[ -z $(program_pids) ]]; }

# Every standard cursor (OCR_NORMAL ... OCR_APPSTARTING) and the pen.
_expect_standard_cursors_swapped() {
  local id
  for id in 7f00 7f01 7f02 7f03 7f04 7f82 7f83 7f84 7f85 7f86 7f88 7f89 7f8a 7f77; do
    grep -q ":Call user32.SetSystemCursor([0-9a-f]*,0000$id)" "$TRACE" ||
      e2e_fail "hiding did not replace system cursor 0x$id"
  done
}

# The guardian's parent, as Windows keeps it, when it is not the program's
# own process; status 1 when the guardian is the program's child or cannot
# be found. MAIN_ID is the program's Windows process id (decimal).
_guardian_parent_not() {
  process_table | awk -v main="$1" 'tolower($1) == "pellucor.exe" && $3 != main { found = 1; print $2; exit (main == $2) }
    END { if (!found) exit 1 }'
}

test_a_killed_program_gets_the_cursors_back_from_its_guardian() {
  local main mark killed restorer parent
  _guardian_start_hidden
  main=$MAIN
  _expect_standard_cursors_swapped
  assert_eq 2 "$(program_pids | wc -l)" "pellucor.exe processes: the program and its guardian"
  # Started through a launcher that has ended: ending the program's process
  # tree (Task Manager's End task) leaves the guardian.
  parent=$(_guardian_parent_not "$((16#$main))") ||
    e2e_fail "the guardian is the program's child, or not listed: $(process_table | grep -i pellucor | tr '\n' ';')"
  e2e_log "the guardian's parent is process $parent, not the program ($((16#$main)))"

  mark=$(wc -l <"$TRACE")
  kill -9 "$APP_PID"
  killed=$(now_ms)
  wait_for 2 _restored_by_other_than "$mark" "$main" ||
    e2e_fail "no SPI_SETCURSORS from another process within 2 s of the kill"
  restorer=$(_cursor_restores_after "$mark" | grep -v "^$main\$" | head -n 1)
  e2e_log "process $restorer put the cursors back $(($(now_ms) - killed)) ms (or less) after the kill of $main"
  wait_for 5 _no_program_left || e2e_fail "pellucor.exe still runs after its program was killed: $(program_pids)"
}

test_a_normal_close_leaves_the_guardian_nothing_to_do() {
  local main mark
  _guardian_start_hidden
  main=$MAIN

  mark=$(wc -l <"$TRACE")
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  wait_for 5 _no_program_left || e2e_fail "the guardian outlives its program: $(program_pids)"
  assert_eq "$main" "$(_cursor_restores_after "$mark" | sort -u | tr '\n' ' ' | sed 's/ $//')" \
    "processes that put the cursors back at the close"
}

test_a_hung_program_gets_the_cursors_back_and_blanks_them_again_after() {
  local main mark
  _guardian_start_hidden
  main=$MAIN

  # Hung: it takes no more messages.
  mark=$(wc -l <"$TRACE")
  kill -STOP "$APP_PID"
  sleep 4
  if _restored_by_other_than "$mark" "$main"; then
    kill -CONT "$APP_PID"
    e2e_fail "the guardian put the cursors back before the program had hung for 5 s"
  fi
  wait_for 6 _restored_by_other_than "$mark" "$main" || {
    kill -CONT "$APP_PID"
    e2e_fail "no SPI_SETCURSORS from the guardian within 10 s of the hang"
  }

  # Answering again, the program blanks them at its next still tick.
  mark=$(wc -l <"$TRACE")
  kill -CONT "$APP_PID"
  wait_for 5 _swapped_again_after "$mark" "$main" || e2e_fail "the recovered program did not blank the cursors again"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  wait_for 5 _no_program_left || e2e_fail "pellucor.exe still runs after the close: $(program_pids)"
}

# Reloading the scheme reads every cursor file and undoes cursors other
# programs set: a start does it only when a copy that was killed with both
# of its processes left the session's note "the cursors are blank".
test_a_start_reloads_the_cursors_only_after_a_copy_left_them_blank() {
  local dir first second
  dir=$(app_dir)
  _guardian_trace
  APP_WINEDEBUG=+pid,+relay start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  ! grep -qF "$SPI_SETCURSORS_CALL" "$TRACE" || e2e_fail "a start with the cursors the user's own reloaded them"

  # Hidden, then both processes killed: nobody puts the cursors back.
  APP_WINEDEBUG=+pid,+relay start_run_on_window "$dir"
  wait_for 8 x_cursor_is hidden || e2e_fail "the resting cursor never hid: $(x_cursor)"
  wait_for 3 _main_wine_pid >/dev/null || e2e_fail "hiding replaced no system cursor"
  first=$(_main_wine_pid)
  wait_for 3 guardian_pid >/dev/null || e2e_fail "no guardian to kill"
  kill -9 "$(guardian_pid)"
  kill -9 "$APP_PID"
  wait_for 5 _no_program_left || e2e_fail "pellucor.exe still runs after both were killed: $(program_pids)"
  reg_query "$SESSION_KEY" CursorsBlank >/dev/null || e2e_fail "the note is gone though the cursors were left blank"
  ! _cursor_restores_after 0 | grep -q . || e2e_fail "someone put the cursors back after both were killed"

  APP_WINEDEBUG=+pid,+relay start_app "$dir"
  expect_window "$TITLE" 20
  wait_for 5 _restored_by_other_than 0 "$first" || e2e_fail "the next start did not put the cursors back"
  second=$(_cursor_restores_after 0 | head -n 1)
  e2e_log "process $second (the next start) put back what process $first left blank"
  ! reg_query "$SESSION_KEY" CursorsBlank >/dev/null || e2e_fail "the note stays after the repair"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}
