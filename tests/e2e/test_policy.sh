# shellcheck shell=bash
# Group Policy: the machine's policies for the idle seconds and for hiding
# while typing apply at start and again when Windows says the policies
# changed; their controls are greyed and the Options window says why; a
# value of the wrong type or out of range is ignored; the user's own stored
# choices stay as they were.

readonly MACHINE_POLICY='HKLM\Software\Policies\Trandavel\Pellucor'
readonly POLICY_OPTIONS="Pellucor Options"
readonly MANAGED_NOTE="Some settings are managed by your organisation."

_policy_dword() {
  "$WINE64" reg add "$MACHINE_POLICY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 ||
    e2e_fail "cannot write the policy $1"
}

# _policy_refresh: what Windows broadcasts once a Group Policy refresh has
# written the policies (gpupdate); Wine has no Group Policy client.
_policy_refresh() {
  probe settingchange Policy >/dev/null || e2e_fail "cannot broadcast the policy change"
}

_field_shows() { [[ $(control_fact "$TITLE" class:Edit text 2>/dev/null) == "$1" ]]; }
_menu_up() { probe windows --visible | grep -q 'class="#32768"'; }

test_machine_policies_apply_at_start_and_on_refresh_and_a_bad_value_is_ignored() {
  local dir ms controls
  need_x_cursor
  dir=$(app_dir)
  reg_set "$SETTINGS" Path 9 || e2e_fail "cannot write the setting"
  _policy_dword IdleSeconds 2
  _policy_dword HideWhileTyping 1
  # A number stored as text: not the type the template writes, so ignored.
  "$WINE64" reg add "$MACHINE_POLICY" /v IgnoredMovementPixels /t REG_SZ /d 5 /f >/dev/null 2>&1 ||
    e2e_fail "cannot write the policy IgnoredMovementPixels"

  start_run_on_window "$dir"
  assert_eq 2 "$(control_fact "$TITLE" class:Edit text)" "the seconds field under the policy"
  assert_eq 0 "$(control_fact "$TITLE" class:Edit enabled)" "the seconds field is greyed"
  # The user's 9 s would leave it shown for longer than this.
  wait_for 5 x_cursor_is hidden || e2e_fail "the pointer did not hide after the policy's 2 s"
  ms=$(time_reveal 30)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "a move did not show the pointer: $ms"
  focus_window "$TITLE"
  ms=$(time_hide a)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "typing did not hide the pointer under the policy: $ms"
  e2e_log "hidden ${ms} ms after a typed key"
  ms=$(time_reveal 30)
  [[ $ms =~ ^[0-9.]+$ ]] || e2e_fail "a move did not show the pointer: $ms"

  # The Options window, from the system menu: the typing choice greyed and
  # ticked, the pixels field free (its policy was ignored), and the note.
  focus_window "$TITLE"
  xdotool key alt+space
  wait_for 3 _menu_up || e2e_fail "Alt+Space opened no system menu"
  xdotool key --delay 50 Up Up Return
  expect_window "$POLICY_OPTIONS" 5
  controls=$(probe controls "$POLICY_OPTIONS") || e2e_fail "cannot read the Options window"
  assert_eq "1 0" "$(field checked "$(grep ' id=201 ' <<<"$controls")") $(field enabled "$(grep ' id=201 ' <<<"$controls")")" \
    "the typing choice: ticked, greyed"
  assert_eq "0 1" "$(field text "$(grep ' id=203 ' <<<"$controls")") $(field enabled "$(grep ' id=203 ' <<<"$controls")")" \
    "the pixels field: the user's 0, free"
  assert_eq "1 $MANAGED_NOTE" "$(field visible "$(grep ' id=210 ' <<<"$controls")") $(field text "$(grep ' id=210 ' <<<"$controls")")" \
    "the note"
  window_shot "$POLICY_OPTIONS" options-managed
  xdotool key Escape
  probe wait-gone "$POLICY_OPTIONS" 5 >/dev/null || e2e_fail "Escape did not close the Options window"

  # The administrator sets 0 seconds (out of range) and drops the typing
  # policy: after the refresh the user's own choices apply again.
  _policy_dword IdleSeconds 0
  "$WINE64" reg delete "$MACHINE_POLICY" /v HideWhileTyping /f >/dev/null 2>&1 || e2e_fail "cannot delete the policy"
  _policy_refresh
  wait_for 3 _field_shows 9 || e2e_fail "the user's 9 s did not come back: $(control_fact "$TITLE" class:Edit text)"
  assert_eq 1 "$(control_fact "$TITLE" class:Edit enabled)" "the seconds field once the policy went"
  xdotool mousemove_relative 5 0
  ms=$(time_hide a)
  [[ $ms == timeout ]] || e2e_fail "typing still hid the pointer after the policy went: $ms"

  assert_eq 9 "$(reg_query "$SETTINGS" Path)" "the user's stored seconds"
  ! reg_query "$SETTINGS" "Hide While Typing" >/dev/null || e2e_fail "the policy's typing choice was stored as the user's"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 8
}
