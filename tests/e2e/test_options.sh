# shellcheck shell=bash
# The Options window, reached from the main window's system menu, and what
# its choices do during a run: hide as soon as the user types, keep the
# pointer hidden for small movements and wheel turns, start hiding at start,
# and never hide while a listed program is in front.

readonly OPTIONS="Pellucor Options"
readonly PIXELS_REFUSED="The number of pixels must be a whole number from 0 to 50."
# The cursor calls, the foreground hook of the listed programs, and the
# shell's word on a program filling the screen, which a rested run asks.
readonly CURSOR_CALLS='user32.SetSystemCursor;user32.SystemParametersInfoW;user32.SetWinEventHook;shell32.SHQueryUserNotificationState'
readonly SWAP_CALL=':Call user32.SetSystemCursor\('
readonly RESTORE_CALL=':Call user32.SystemParametersInfoW\(00000057,'
# With no window manager to answer, Wine waits 2 s for each window it takes
# off the screen: the Options window, the tray icon, the main window.
readonly EXIT_WAIT=8

# _open_options: Alt+Space opens the system menu of the main window; the item
# before the last (About Pellucor...) is Options..., whatever Wine adds above.
_open_options() {
  focus_window "$TITLE"
  xdotool key alt+space
  wait_for 3 _menu_shown || e2e_fail "Alt+Space opened no system menu"
  xdotool key --delay 50 Up Up Return
  expect_window "$OPTIONS" 5
}
_menu_shown() { probe windows --visible | grep -q 'class="#32768"'; }

# _options_shown: what the dialog's controls say, on one line.
_options_shown() {
  local controls
  controls=$(probe controls "$OPTIONS") || e2e_fail "no '$OPTIONS' window to read"
  printf 'typing=%s pixels=%s wheel=%s start=%s programs=%s\n' \
    "$(field checked "$(grep ' id=201 ' <<<"$controls")")" "$(field text "$(grep ' id=203 ' <<<"$controls")")" \
    "$(field checked "$(grep ' id=205 ' <<<"$controls")")" "$(field checked "$(grep ' id=206 ' <<<"$controls")")" \
    "$(field text "$(grep ' id=208 ' <<<"$controls")")"
}

_expect_options_layout() { expect_options_layout "$OPTIONS" "options-$1"; }

# _start_typing_run SETTING=DATA...: Notepad, then a run with the pointer
# resting, visible, on the main window while Notepad is in front with the
# keyboard; the relay trace of the cursor calls in TRACE.
_start_typing_run() {
  local setting
  need_x_cursor
  follow_x_focus
  for setting in "$@"; do
    reg_set "$SETTINGS" "${setting%%=*}" "${setting#*=}" || e2e_fail "cannot write the setting $setting"
  done
  relay_trace "$CURSOR_CALLS"
  start_notepad
  APP_WINEDEBUG=+pid,+relay start_run_on_window "$(app_dir)"
  _bring_to_front "$NOTEPAD" || e2e_fail "Notepad did not come to the front"
  x_cursor_is shown || e2e_fail "the pointer is hidden before the check begins: $(x_cursor)"
}
_in_front() { [[ $(window_fact "$1" foreground 2>/dev/null) == 1 ]]; }
# _bring_to_front TITLE: gives a window the X focus until Wine makes it the
# foreground window; on a loaded machine one focus is now and then lost, and
# a program slowed by the relay trace takes seconds to answer its activation.
# When it fails, the log says which window is in front instead.
_bring_to_front() {
  local try
  for try in 1 2 3; do
    focus_window "$1"
    wait_for 4 _in_front "$1" && return 0
  done
  e2e_log "in front instead of '$1': $(probe windows --visible | grep ' foreground=1 ' || echo none)"
  return 1
}
_window_in_front() { probe windows --visible | grep -q "^window hwnd=$1 .* foreground=1 "; }
_notepad_holds() { [[ $(notepad_text) == *"$1"* ]]; }

test_options_from_the_system_menu_are_kept_and_start_hiding_runs_at_the_next_start() {
  local dir box shot wanted setting
  dir=$(app_dir)
  reg_set "$SETTINGS" Path 2 || e2e_fail "cannot write the setting"
  start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon 10 s after the window showed"
  _open_options
  assert_eq "typing=0 pixels=0 wheel=0 start=0 programs=" "$(_options_shown)" "the Options window at the first start"

  # A label's access key takes the focus to its field, its text selected.
  click_control "$OPTIONS" id:201
  click_control "$OPTIONS" id:205
  click_control "$OPTIONS" id:206
  focus_window "$OPTIONS"
  xdotool key alt+k
  xdotool type --delay 20 51
  xdotool key alt+n
  xdotool type --delay 20 $'notepad.exe\nC:\\Tools\\Paint.EXE\n'
  click_control "$OPTIONS" OK
  box=$(probe box "$TITLE" 5) || e2e_fail "no box refused 51 pixels"
  assert_eq "$PIXELS_REFUSED" "$(kv text <<<"$box")" "the refusal's text"
  assert_eq OK "$(kv button.1 <<<"$box")" "the refusal's button"
  for setting in "Hide While Typing" "Ignored Movement Pixels" "Wheel Keeps Hidden" "Start Hiding" "Never Hide In"; do
    ! reg_query "$SETTINGS" "$setting" >/dev/null || e2e_fail "'$setting' was stored at a refused OK"
  done
  wait_for 3 _window_in_front "$(kv hwnd <<<"$box")" || e2e_fail "the refusal is not in front"
  xdotool key Return
  wait_for 3 _pixels_field_has_focus || e2e_fail "the focus is not back in the pixels field after the refusal"
  assert_eq 51 "$(control_fact "$OPTIONS" id:203 text)" "the pixels field after the refusal"
  # The refused text is selected: typing replaces it.
  xdotool type --delay 20 10
  wanted='typing=1 pixels=10 wheel=1 start=1 programs=notepad.exe\r\nC:\\Tools\\Paint.EXE\r\n'
  assert_eq "$wanted" "$(_options_shown)" "the Options window before OK"
  click_control "$OPTIONS" OK
  probe wait-gone "$OPTIONS" 5 >/dev/null || e2e_fail "the Options window stays after OK"
  expect_setting "Hide While Typing" On
  expect_setting "Ignored Movement Pixels" 10
  expect_setting "Wheel Keeps Hidden" On
  expect_setting "Start Hiding" On
  expect_setting "Never Hide In" "notepad.exe|Paint.EXE"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"

  # Nobody clicks: the next start goes into the tray and hides the resting
  # pointer after the stored seconds (Wine shows the system cursors' swap
  # only as calls).
  relay_trace "$CURSOR_CALLS"
  APP_WINEDEBUG=+pid,+relay start_app "$dir"
  wait_tray_icons 1 20 || e2e_fail "no tray icon at the start"
  expect_hidden "$TITLE" 10
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon at the start's run"
  wait_for 12 traced_since 0 "$SWAP_CALL" || e2e_fail "the resting pointer was not hidden at the start's run"
  wait_for 3 guardian_pid >/dev/null || e2e_fail "no guardian while the cursors are blank"

  # Back from the tray, the run going on: every choice is kept.
  click_tray_icon 1
  expect_window "$TITLE" 5
  has_control "$TITLE" "$STOP_TEXT" || e2e_fail "no run after the start"
  _open_options
  # A path typed or pasted is kept as its file name.
  assert_eq 'typing=1 pixels=10 wheel=1 start=1 programs=notepad.exe\r\nPaint.EXE' "$(_options_shown)" \
    "the Options window after a restart"
  _expect_options_layout 100 >/dev/null
  shot=$E2E_OUT/$E2E_SCENARIO-options-100.png
  if [[ ${UPDATE_SCREENSHOT:-} == 1 ]]; then cp "$shot" "$E2E_ROOT/docs/options.png"; fi
  focus_window "$OPTIONS"
  xdotool key Escape
  probe wait-gone "$OPTIONS" 5 >/dev/null || e2e_fail "Escape did not close the Options window"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}
_pixels_field_has_focus() { [[ $(control_fact "$OPTIONS" id:203 focus 2>/dev/null) == 1 ]]; }

# At 150 % the dialog grows with its font, and nothing in it is cut off or
# covered. Wine reads the scaling when its desktop starts: a fresh one.
test_options_window_at_150_percent() {
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    e2e_fail "cannot set the scaling"
  "$WINESERVER" -k
  "$WINESERVER" -w
  "$WINESERVER" -p
  reg_set "$SETTINGS" "Never Hide In" "notepad.exe|Paint.EXE" || e2e_fail "cannot write the setting"
  start_app "$(app_dir)"
  expect_window "$TITLE" 20
  _open_options
  _expect_options_layout 150 >/dev/null
  probe press "$OPTIONS" 2 || e2e_fail "cannot press Cancel"
  probe wait-gone "$OPTIONS" 5 >/dev/null || e2e_fail "Cancel did not close the Options window"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}

# Wine blanks the X cursor over the hiding thread's own windows only: the
# pointer rests on the main window while the keys go to Notepad. The idle
# time is 30 s, so no hide here is the tick's.
test_typing_hides_the_pointer_and_keys_that_do_not_type_leave_it() {
  local ms mark
  _start_typing_run Path=30 "Hide While Typing=On" "Ignored Movement Pixels=10" "Wheel Keeps Hidden=On"

  ms=$(time_hide a)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "a typed 'a' did not hide the pointer: $ms"
  e2e_log "hidden $ms ms after the key went down"
  wait_for 3 traced_since 0 "$SWAP_CALL" || e2e_fail "typing did not swap the system cursors"
  wait_for 3 guardian_pid >/dev/null || e2e_fail "no guardian while the cursors are blank"
  wait_for 3 _notepad_holds anotes || e2e_fail "the key did not reach Notepad: $(notepad_text)"

  # Small movements and the wheel keep it hidden, a larger movement shows it.
  assert_eq timeout "$(time_reveal 3)" "the pointer after a 3-pixel move"
  mark=$(trace_lines)
  xdotool click 5
  # The relay trace shows the window procedures' calls too: the turn reached
  # the mouse watch.
  wait_for 3 traced_since "$mark" ',msg=WM_INPUT,' || e2e_fail "the wheel's turn never reached the program"
  ! wait_for 1 x_cursor_is shown || e2e_fail "a turn of the wheel showed the pointer"
  ms=$(time_reveal 30)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "a 30-pixel move did not show the pointer: $ms"

  # Shortcuts, Win+E and keys another program sends do not type. Each must
  # reach Notepad, so that staying shown means something.
  mark=$(trace_lines)
  press_chord ctrl+a
  press_chord ctrl+c
  press_chord ctrl+End
  press_chord ctrl+v
  wait_for 3 _notepad_holds 'anotes\r\nanotes' || e2e_fail "Ctrl+A, Ctrl+C, Ctrl+V did not reach Notepad: $(notepad_text)"
  ! wait_for 1 x_cursor_is hidden || e2e_fail "Ctrl+C hid the pointer"
  press_chord super+e
  # Wine passes Win+E on to Notepad as an e.
  wait_for 3 _notepad_holds 'anotes\r\nanotes\r\ne' || e2e_fail "Win+E did not reach Notepad: $(notepad_text)"
  ! wait_for 1 x_cursor_is hidden || e2e_fail "Win+E hid the pointer"
  probe sendkey 0x42 >/dev/null || e2e_fail "cannot send a key with SendInput"
  wait_for 3 _notepad_holds 'eb' || e2e_fail "the key sent with SendInput did not reach Notepad: $(notepad_text)"
  ! wait_for 1 x_cursor_is hidden || e2e_fail "a key sent with SendInput hid the pointer"
  ! traced_since "$mark" "$SWAP_CALL" || e2e_fail "keys that do not type swapped the system cursors"

  # The watch is still on: the next letter hides it.
  ms=$(time_hide c)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "a typed 'c' after the others did not hide the pointer: $ms"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}

# Wine 8 calls an out-of-context WinEvent hook only for events of its own
# process, so it never tells the program that Notepad came to the front: the
# hook's call is all that shows of it, and the pointer comes back at the
# next tick, which sees the listed program in front.
test_nothing_hides_while_a_listed_program_is_in_front() {
  local moved
  # Listed in other letters than its file's.
  _start_typing_run Path=2 "Hide While Typing=On" "Never Hide In=NOTEPAD.EXE"
  grep -qE ':Call user32.SetWinEventHook\(00000003,00000003,' "$TRACE" ||
    e2e_fail "the run does not watch which program comes to the front"

  xdotool type --delay 30 hello
  wait_for 3 _notepad_holds hello || e2e_fail "the typing did not reach Notepad: $(notepad_text)"
  # Two seconds' rest, and more.
  ! wait_for 4 x_cursor_is hidden || e2e_fail "the pointer hid while Notepad was in front"
  ! traced_since 0 "$SWAP_CALL" || e2e_fail "the system cursors were swapped while Notepad was in front"

  # Our own window in front: it hides, and Notepad coming back shows it.
  _bring_to_front "$TITLE" || e2e_fail "the main window did not come to the front"
  wait_for 5 x_cursor_is hidden || e2e_fail "the resting pointer did not hide with the main window in front"
  wait_for 3 traced_since 0 "$SWAP_CALL" || e2e_fail "hiding did not swap the system cursors"
  moved=$(now_ms)
  _bring_to_front "$NOTEPAD" || e2e_fail "Notepad did not come to the front again"
  wait_for 3 x_cursor_is shown || e2e_fail "the pointer stays hidden with Notepad in front again"
  e2e_log "shown $(($(now_ms) - moved)) ms after Notepad was brought to the front"
  wait_for 3 traced_since 0 "$RESTORE_CALL" || e2e_fail "the system cursors were not put back"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}

# "Never hide while a program fills the screen": with a captionless window
# covering the monitor in front, rest hides nothing; once it is closed,
# rest hides again. (Wine tells the program nothing of the window coming to
# the front: the ticks see it.)
test_nothing_hides_while_a_program_fills_the_screen() {
  local mark
  _start_typing_run Path=2 "Never Hide In Full Screen=On"
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$E2E_BIN/full_screen.exe" FullScreen) >/dev/null 2>&1 &
  expect_window FullScreen 10
  _bring_to_front FullScreen || e2e_fail "the full-screen window did not come to the front"
  mark=$(trace_lines)
  # Rested, each second tick asks what is in front: twice with the window
  # there, and nothing hidden.
  wait_for 10 _screen_asked_twice_since "$mark" || e2e_fail "the run never asked whether a program fills the screen"
  ! traced_since "$mark" "$SWAP_CALL" || e2e_fail "the system cursors were swapped while a program filled the screen"
  probe close FullScreen >/dev/null || e2e_fail "cannot close the full-screen window"
  probe wait-gone FullScreen 5 >/dev/null || e2e_fail "the full-screen window stays"
  # Whichever window Wine puts in front now, it does not fill the screen.
  wait_for 8 traced_since "$mark" "$SWAP_CALL" || e2e_fail "rest hid nothing once the full-screen window had gone"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}

_screen_asked_twice_since() {
  local asked
  asked=$(tail -n +"$(($1 + 1))" "$TRACE" | grep -cE ':Call shell32\.SHQueryUserNotificationState\(' || true)
  ((asked >= 2))
}

# "Hide only while one of these programs is in front": rest hides the pointer
# in front of Notepad, the one listed, and nothing in front of any other
# window, Pellucor's own included.
test_with_hide_only_in_notepad_nothing_hides_elsewhere() {
  local mark
  _start_typing_run Path=2 "Hide Only In Listed=On" "Never Hide In=notepad.exe"
  wait_for 6 x_cursor_is hidden || e2e_fail "the resting pointer did not hide with Notepad in front"
  wait_for 3 traced_since 0 "$SWAP_CALL" || e2e_fail "hiding in front of Notepad did not swap the system cursors"
  _bring_to_front "$TITLE" || e2e_fail "the main window did not come to the front"
  wait_for 3 x_cursor_is shown || e2e_fail "the pointer stays hidden with another window in front"
  mark=$(trace_lines)
  ! wait_for 4 x_cursor_is hidden || e2e_fail "the pointer hid in front of a window not listed"
  ! traced_since "$mark" "$SWAP_CALL" || e2e_fail "the system cursors were swapped in front of a window not listed"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit "$EXIT_WAIT"
}
