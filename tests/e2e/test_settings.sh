# shellcheck shell=bash
# The settings in the registry: the two start-up switches with the Run value,
# the idle-seconds field, and a start straight into the tray.

readonly MACHINE_RUN='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
readonly USER_RUN='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

_settings_start() {
  start_app "$1"
  expect_window "$TITLE" 20
}

_field_has_focus() { [[ $(control_fact "$TITLE" class:Edit focus 2>/dev/null) == 1 ]]; }

test_startup_switches_write_settings_and_run_value() {
  local dir data
  # A folder with a space: the Run value must quote the path.
  dir=$(app_dir "Pellucor App")
  _settings_start "$dir"

  click_control "$TITLE" "$STARTUP_BOX"
  expect_setting "Windows Startup" On
  assert_eq 1 "$(control_fact "$TITLE" "$STARTUP_BOX" checked)" "'$STARTUP_BOX' checked"
  assert_eq 1 "$(control_fact "$TITLE" "$MINIMISED_BOX" visible)" "'$MINIMISED_BOX' visible"
  ! reg_query "$SETTINGS" Minimized >/dev/null || e2e_fail "'Minimized' written before its box was clicked"
  # The user's own key only: Wine runs programs as an administrator, so the
  # machine's key would take the value too, and every user of the machine
  # would start a program from this user's folder.
  data=$(reg_query "$USER_RUN" pellucor.exe) || e2e_fail "no Run value named pellucor.exe under $USER_RUN"
  assert_eq '"C:\Pellucor App\pellucor.exe"' "$data" "Run value data"
  ! reg_query "$MACHINE_RUN" pellucor.exe >/dev/null || e2e_fail "a Run value was written under $MACHINE_RUN"

  click_control "$TITLE" "$MINIMISED_BOX"
  expect_setting Minimized On
  assert_eq 1 "$(control_fact "$TITLE" "$MINIMISED_BOX" checked)" "'$MINIMISED_BOX' checked"

  # Off again: no Run value, both settings off, the second box gone.
  click_control "$TITLE" "$STARTUP_BOX"
  expect_setting "Windows Startup" Off
  expect_setting Minimized Off
  ! reg_query "$MACHINE_RUN" pellucor.exe >/dev/null || e2e_fail "the Run value under $MACHINE_RUN stays"
  ! reg_query "$USER_RUN" pellucor.exe >/dev/null || e2e_fail "the Run value under $USER_RUN stays"
  assert_eq 0 "$(control_fact "$TITLE" "$MINIMISED_BOX" visible)" "'$MINIMISED_BOX' visible"
  assert_eq 0 "$(control_fact "$TITLE" "$MINIMISED_BOX" checked)" "'$MINIMISED_BOX' checked"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

# The seconds typed last time come back at the next start, when the tick
# would take them; a stored text it would refuse starts the field at 3.
test_field_text_is_stored_and_a_restart_shows_it() {
  local dir
  dir=$(app_dir)
  _settings_start "$dir"
  wait_for 3 _field_has_focus || e2e_fail "the field never had the focus"
  # The field's text is selected when it gets the focus: typing replaces it.
  type_text "$TITLE" 7
  expect_setting Path 7
  assert_eq 7 "$(control_fact "$TITLE" class:Edit text)" "field text"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5

  _settings_start "$dir"
  assert_eq 7 "$(control_fact "$TITLE" class:Edit text)" "field text after a restart"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5

  reg_set "$SETTINGS" Path 40000 || e2e_fail "cannot write the setting"
  _settings_start "$dir"
  assert_eq 3 "$(control_fact "$TITLE" class:Edit text)" "field text after a restart with 40000 (too big for the tick) stored"
  expect_setting Path 40000
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_leaving_field_with_letters_asks_for_a_number() {
  local dir box
  dir=$(app_dir)
  _settings_start "$dir"
  wait_for 3 _field_has_focus || e2e_fail "the field never had the focus"
  type_text "$TITLE" abc
  press_keys "$TITLE" Tab

  box=$(probe box "$TITLE" 5) || e2e_fail "no box captioned '$TITLE' after leaving the field with abc"
  assert_eq "Must be a numerical value." "$(kv text <<<"$box")" "box text"
  assert_eq OK "$(kv button.1 <<<"$box")" "box button"
  assert_eq 1 "$(grep -c '^button\.' <<<"$box")" "number of buttons in the box"
  assert_eq none "$(kv icon <<<"$box")" "box icon"
  screenshot numerical-value >/dev/null
  probe press "$TITLE" 1 || e2e_fail "cannot press OK"

  wait_for 5 _field_has_focus || e2e_fail "the focus did not come back to the field after OK"
  assert_eq abc "$(control_fact "$TITLE" class:Edit text)" "field text after the box"
  expect_setting Path abc
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_both_switches_on_start_in_the_tray() {
  local dir
  reg_set "$SETTINGS" "Windows Startup" On || e2e_fail "cannot write the setting"
  reg_set "$SETTINGS" Minimized On || e2e_fail "cannot write the setting"
  dir=$(app_dir)
  start_app "$dir"

  wait_tray_icons 1 20 || e2e_fail "no tray icon 20 s after the start"
  expect_hidden "$TITLE" 5
  assert_eq 1 "$(control_fact "$TITLE" "$STARTUP_BOX" checked)" "'$STARTUP_BOX' checked"
  assert_eq 1 "$(control_fact "$TITLE" "$MINIMISED_BOX" checked)" "'$MINIMISED_BOX' checked"
  reg_query "$MACHINE_RUN" pellucor.exe >/dev/null || reg_query "$USER_RUN" pellucor.exe >/dev/null ||
    e2e_fail "the start with the switch on did not write the Run value"

  # Still hidden a moment later: it did not just pass through the tray.
  sleep 1
  assert_eq 0 "$(window_fact "$TITLE" visible)" "window visible a second after the tray icon came"
  click_tray_icon 1
  expect_shown_and_active "$TITLE"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}
