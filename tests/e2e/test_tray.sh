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

# At logon Explorer is often busy and refuses the icon. A stand-in shell that
# refuses every request for 25 s: the program started straight into the tray
# shows its window after 10 s rather than hide with no way back, and the icon
# arrives once a shell takes it.
test_a_busy_shell_at_logon_brings_the_window_back_and_the_icon_later() {
  local dir refusals
  reg_set 'HKCU\Software\Trandavel\Pellucor' "Windows Startup" On
  reg_set 'HKCU\Software\Trandavel\Pellucor' Minimized On
  refusals=$E2E_SCENARIO_DIR/fake-tray.out
  probe fake-tray 25 >"$refusals" 2>&1 &
  wait_for 10 grep -q ready "$refusals" || e2e_fail "the stand-in shell did not start: $(cat "$refusals")"
  dir=$(app_dir)
  start_app "$dir"
  sleep 3
  ! probe wait-window "$TITLE" 0 >/dev/null 2>&1 || e2e_fail "the window showed although it starts in the tray"
  assert_eq 0 "$(tray_icon_count)" "tray icons while the shell refuses"
  expect_window "$TITLE" 12
  assert_eq 0 "$(tray_icon_count)" "tray icons when the window came back"
  screenshot window-back-without-icon >/dev/null

  wait_for 20 grep -q refused= "$refusals" || e2e_fail "the stand-in shell did not go"
  e2e_log "the stand-in shell $(grep refused= "$refusals")"
  wait_tray_icons 1 8 || e2e_fail "no tray icon within 8 s of a shell taking requests again"
  # The window is in plain view: "minimized to the system tray" would be
  # untrue. The first minimise the user sees explains it instead.
  sleep 5
  ! balloon_text >/dev/null || e2e_fail "a balloon says the window went into the tray while it shows"
  probe minimize "$TITLE" >/dev/null
  expect_hidden "$TITLE" 5
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon at the first minimise"
  screenshot icon-and-balloon >/dev/null

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  wait_tray_icons 0 5 || e2e_fail "the icon stays after the program ended"
}

# At 150 % scaling the notification area wants 24-pixel icons: the program
# gives it the 24-pixel drawing, pixel for pixel, not the 16-pixel one blown
# up. The window's own icons come at the sizes of that scaling too.
test_icons_are_drawn_for_150_percent_scaling() {
  local icon x y shot mismatches
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    e2e_fail "cannot set the scaling"
  # Wine reads the scaling when its desktop starts: a fresh one.
  "$WINESERVER" -k
  "$WINESERVER" -w
  "$WINESERVER" -p
  _tray_start
  icon=$(tray_icons | head -n 1)
  # Wine's tray draws each icon in a window of the small-icon size plus 2 pixels all round.
  assert_eq 28 "$(field w "$icon")" "tray icon window width"
  assert_eq 28 "$(field h "$icon")" "tray icon window height"
  x=$(($(field x "$icon") + 2))
  y=$(($(field y "$icon") + 2))
  shot=$(screenshot tray-150)
  mismatches=$(python3 - "$shot" "$x" "$y" "$E2E_ROOT/res" <<'PY'
import subprocess, sys
shot, x, y, res = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
sys.path.insert(0, res)
import draw_icons
art = draw_icons.tray_image_rows(24)
pixels = subprocess.run(["convert", shot, "-crop", f"24x24+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                        capture_output=True, check=True).stdout
bad = 0
for row, line in enumerate(art):
    for col, (r, g, b, a) in enumerate(line):
        if a < 1:
            continue
        got = pixels[(row * 24 + col) * 3:(row * 24 + col) * 3 + 3]
        if max(abs(got[k] - draw_icons.to_byte(v)) for k, v in enumerate((r, g, b))) > 8:
            bad += 1
print(bad)
PY
  )
  assert_eq 0 "$mismatches" "tray icon pixels unlike the 24-pixel drawing"
  assert_eq 24x24 "$(probe icons "$TITLE" | kv icon_small)" "the window's small icon"
  assert_eq 48x48 "$(probe icons "$TITLE" | kv icon_big)" "the window's big icon"

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}
