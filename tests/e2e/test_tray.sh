# shellcheck shell=bash
# The notification-area icon: its tip, minimising into it with the one-time
# balloon, and bringing the window back with either mouse button.

# What the balloon says, as probe escapes it.
readonly BALLOON_TEXT="has been minimized to the system tray.\\r\\nClick on the blue 'T' icon (T for Trandavel) to bring the software back."
# Wine shows a balloon about 4 s after it was asked for; the program keeps it
# up for 5 s at most.
readonly BALLOON_WAIT=8

_tray_start() {
  local dir
  dir=$(app_dir)
  start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon 10 s after the window showed (tray: $(probe tray 2>&1 | tr '\n' ' '))"
}

_no_balloon_shows() { ! balloon_text >/dev/null; }

# The icon is drawn: a blue 'T' on the tray's white, so its centre is blue.
_expect_blue_icon() {
  local colour r g b
  colour=$(tray_icon_pixel tray)
  r=$((16#${colour:1:2})) g=$((16#${colour:3:2})) b=$((16#${colour:5:2}))
  ((b > r + 64 && b > g + 32)) || e2e_fail "the tray icon's centre is $colour, not the blue of the 'T'"
}

test_tray_icon_has_tip_and_goes_with_the_program() {
  _tray_start
  assert_eq "$TITLE" "$(tray_tip)" "tray tip"
  _expect_blue_icon

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  assert_eq 0 "$(tray_icon_count)" "tray icons after the program ended"
}

test_minimise_goes_to_tray_with_balloon_once_and_clicks_restore() {
  local balloon
  _tray_start

  probe minimize "$TITLE" || e2e_fail "cannot minimise"
  expect_hidden "$TITLE" 5
  wait_for "$BALLOON_WAIT" balloon_text >/dev/null || e2e_fail "no balloon within $BALLOON_WAIT s of the first minimise"
  balloon=$(balloon_text)
  assert_eq "$BALLOON_TEXT" "$balloon" "balloon text"
  screenshot balloon >/dev/null

  click_tray_icon 1
  expect_shown_and_active "$TITLE"
  wait_for "$BALLOON_WAIT" _no_balloon_shows || e2e_fail "the balloon is still up $BALLOON_WAIT s after the window came back"

  # Only the first minimise since the start explains itself.
  probe minimize "$TITLE" || e2e_fail "cannot minimise"
  expect_hidden "$TITLE" 5
  ! wait_for 6 balloon_text >/dev/null || e2e_fail "a second balloon after the second minimise: $(balloon_text)"

  click_tray_icon 3
  expect_shown_and_active "$TITLE"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}
