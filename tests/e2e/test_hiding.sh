# shellcheck shell=bash
# Running: the run button sends the window into the tray, the resting cursor
# disappears over the program's window and comes back the moment it moves,
# and Ctrl+Shift+S typed into another program stops the run, while other
# keys, Ctrl+S (Save) among them, do not; a stop key chosen in Options stops
# it instead, and a hide key hides the pointer with or without a run.

_hiding_start() {
  local dir
  dir=$(app_dir)
  start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon 10 s after the window showed"
}

# _expect_running [WHEN] / _expect_stopped [WHEN]: what the run button says.
_expect_running() {
  has_control "$TITLE" "$STOP_TEXT" || e2e_fail "the run button does not read '$STOP_TEXT'${1:+ $1}"
  ! has_control "$TITLE" "$START_TEXT" || e2e_fail "the run button still reads '$START_TEXT'${1:+ $1}"
}
_expect_stopped() {
  wait_for 3 has_control "$TITLE" "$START_TEXT" || e2e_fail "the run button does not read '$START_TEXT'${1:+ $1}"
  ! has_control "$TITLE" "$STOP_TEXT" || e2e_fail "the run button still reads '$STOP_TEXT'${1:+ $1}"
}

_no_balloon_shows() { ! balloon_text >/dev/null; }

test_run_goes_to_tray_and_hides_the_resting_cursor() {
  local moved took
  need_x_cursor
  _hiding_start

  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5
  _expect_running "once the run started"

  # Wine hides a cursor only over the hiding thread's own windows: bring the
  # window back (the run goes on) and let the pointer rest on it.
  click_tray_icon 1
  expect_window "$TITLE" 5
  _expect_running "after the window came back from the tray"
  # The timer starts once the start's balloon is over.
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon at the first run"
  wait_for 8 _no_balloon_shows || e2e_fail "the balloon stays up"
  rest_pointer_on_window
  moved=$(now_ms)
  wait_for 2 x_cursor_is shown || e2e_fail "no visible cursor just after moving onto the window: $(x_cursor)"
  # The third still tick hides it, 3 to 4 s after the pointer stopped.
  wait_for 7 x_cursor_is hidden || e2e_fail "the resting cursor is still shown over the window: $(x_cursor)"
  took=$(($(now_ms) - moved))
  e2e_log "cursor hidden ${took} ms after the pointer came to rest: $(x_cursor)"
  ((took >= 2500)) || e2e_fail "the cursor disappeared ${took} ms after it stopped; three still seconds were asked for"

  xdotool mousemove_relative -- 6 4
  moved=$(now_ms)
  wait_for 3 x_cursor_is shown || e2e_fail "the cursor stays hidden after the mouse moved: $(x_cursor)"
  e2e_log "cursor shown again $(($(now_ms) - moved)) ms after the move: $(x_cursor)"

  # A second click on the button stops the run; the window stays.
  click_control "$TITLE" "$STOP_TEXT"
  _expect_stopped "after the stop click"
  expect_shown_and_active "$TITLE"
  x_cursor_is shown || e2e_fail "no visible cursor after the run stopped: $(x_cursor)"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_hot_key_in_another_program_stops_the_run() {
  _hiding_start
  start_notepad

  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5
  # The first run's balloon keeps its start waiting; the hot key pressed
  # meanwhile ends the run at once, and the balloon goes with the window.
  wait_for 5 balloon_text >/dev/null || e2e_fail "no balloon at the first run"
  focus_window "$NOTEPAD"
  press_chord ctrl+shift+s
  expect_window "$TITLE" 2
  _expect_stopped "after the hot key during the start's balloon"
  wait_for 2 _no_balloon_shows || e2e_fail "the balloon stays up after the window came back"

  # The next run has no balloon to wait for.
  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5
  _expect_running "at the second run"

  # A plain S is only a letter, and an S typed earlier does not turn a later
  # Ctrl+C into a stop.
  focus_window "$NOTEPAD"
  xdotool key s
  xdotool type --delay 30 "this is a test"
  press_chord ctrl+c
  sleep 1
  expect_hidden "$TITLE" 0
  _expect_running "after 'this is a test' and Ctrl+C typed into Notepad"

  # AltGr+S (Ctrl+Alt+S) types a letter on some keyboards.
  focus_window "$NOTEPAD"
  press_chord ctrl+alt+s
  sleep 1
  expect_hidden "$TITLE" 0
  _expect_running "after Ctrl+Alt+S typed into Notepad"

  # Ctrl+S is Save: Notepad writes the file, and the run goes on.
  focus_window "$NOTEPAD"
  press_chord ctrl+s
  wait_for 5 grep -q "this is a test" "$NOTES" || e2e_fail "Notepad never got the Ctrl+S: the file was not saved"
  sleep 1
  expect_hidden "$TITLE" 0
  _expect_running "after Ctrl+S (Save) in Notepad"

  # The stop key still reaches Notepad too.
  focus_window "$NOTEPAD"
  press_chord ctrl+shift+s
  expect_window "$TITLE" 5
  _expect_stopped "after Ctrl+Shift+S in Notepad"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

# A stop key and a hide key chosen in Options (stored as a user would leave
# them): the caption names the stop key, it stops a run from Notepad while
# Ctrl+Shift+S then does not, and the hide key hides the resting pointer with
# no run at all, until the mouse moves.
test_chosen_stop_key_and_hide_key() {
  local stop_text="Start Running (Press Ctrl + Alt + H To Stop)" running_text="Stop Running (Press Ctrl + Alt + H To Stop)"
  need_x_cursor
  reg_set "$SETTINGS" "Stop Key" "Ctrl+Alt+H" || e2e_fail "cannot write the stop key"
  reg_set "$SETTINGS" "Hide Key" "Ctrl+Alt+P" || e2e_fail "cannot write the hide key"
  _hiding_start
  has_control "$TITLE" "$stop_text" || e2e_fail "the run button does not name Ctrl + Alt + H"

  rest_pointer_on_window
  wait_for 2 x_cursor_is shown || e2e_fail "no visible cursor over the window: $(x_cursor)"
  focus_window "$TITLE"
  press_chord ctrl+alt+p
  wait_for 2 x_cursor_is hidden || e2e_fail "the hide key did not hide the pointer with no run: $(x_cursor)"
  has_control "$TITLE" "$stop_text" || e2e_fail "the hide key started a run"
  xdotool mousemove_relative -- 6 4
  wait_for 2 x_cursor_is shown || e2e_fail "the pointer hidden by the key stays hidden after a move: $(x_cursor)"

  start_notepad
  click_control "$TITLE" "$stop_text"
  expect_hidden "$TITLE" 5
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon at the first run"
  wait_for 8 _no_balloon_shows || e2e_fail "the balloon stays up"
  focus_window "$NOTEPAD"
  press_chord ctrl+shift+s
  sleep 1
  expect_hidden "$TITLE" 0
  has_control "$TITLE" "$running_text" || e2e_fail "Ctrl+Shift+S stopped a run whose stop key is Ctrl+Alt+H"
  focus_window "$NOTEPAD"
  press_chord ctrl+alt+h
  expect_window "$TITLE" 5
  wait_for 3 has_control "$TITLE" "$stop_text" || e2e_fail "Ctrl+Alt+H did not stop the run"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 8
}

test_field_without_a_number_fails_the_tick_at_line_114() {
  local box text
  _hiding_start
  click_control "$TITLE" "$START_TEXT"
  expect_hidden "$TITLE" 5

  # Letters typed before the start would never let the focus leave the field
  # ("Must be a numerical value."): the user types them during the run.
  click_tray_icon 1
  expect_window "$TITLE" 5
  click_control "$TITLE" class:Edit
  type_text "$TITLE" abc
  box=$(probe box "$ERROR_CAPTION" 10) || e2e_fail "no '$ERROR_CAPTION' box within 10 s of typing abc during a run"
  text=$(kv text <<<"$box")
  [[ $text == "Type mismatch\\r\\n"* ]] || e2e_fail "the error box does not start with 'Type mismatch': $text"
  assert_contains "$text" "in Pellucor2021/08/31.Form1.Timer1_Timer at line 114" "error box text"
  assert_eq OK "$(kv button.1 <<<"$box")" "error box button"
  screenshot type-mismatch >/dev/null

  # The hot key pressed while the box is open ends the run once the box is
  # closed, although the mouse rests and every tick would fail again.
  focus_window "$ERROR_CAPTION"
  press_chord ctrl+shift+s
  probe press "$ERROR_CAPTION" 1 || e2e_fail "cannot press OK"
  probe wait-gone "$ERROR_CAPTION" 5 >/dev/null || e2e_fail "the error box stays after OK"
  _expect_stopped "after Ctrl+Shift+S pressed while the error box was open"
  sleep 2
  expect_no_box "$ERROR_CAPTION"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_moving_the_mouse_shows_the_hidden_cursor_at_once() {
  local phase ms times=() worst=0 median
  need_x_cursor
  start_run_on_window "$(app_dir)"
  # Moves at five points of the tick's second: waiting for the tick would
  # take from 200 ms to most of a second.
  for phase in 0.0 0.2 0.4 0.6 0.8; do
    wait_for 8 x_cursor_is hidden || e2e_fail "the resting cursor never hid: $(x_cursor)"
    sleep "$phase"
    ms=$(time_reveal)
    e2e_log "moved $phase s after the hide: visible again after $ms ms"
    [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "no visible cursor after the move: $ms"
    times+=("$ms")
    ((${ms%.*} < 250)) || e2e_fail "the cursor came back only after $ms ms: the tick, not the move, showed it"
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  e2e_log "reveal times: ${times[*]} ms; median $median ms"
  ((${median%.*} < 20)) || e2e_fail "the cursor came back after a median $median ms; at most 20 ms was asked for"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}
