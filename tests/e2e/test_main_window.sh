# shellcheck shell=bash
# Start-up and the main window: what a user sees on the first start, with and
# without the optional files beside the program.

readonly FRAME1="How many seconds does mouse need to stop moving before hiding?"
readonly FRAME2="Startup Options"
readonly WHITE="#FFFFFF"

_main_window_or_error_box() {
  probe wait-window "$TITLE" 0 >/dev/null 2>&1 || probe box "$ERROR_CAPTION" >/dev/null 2>&1
}

# Waits for the main window; fails with the error box's text if that shows first.
expect_clean_start() {
  wait_for 20 _main_window_or_error_box || e2e_fail "neither the window nor an error box after 20 s"
  local box
  if box=$(probe box "$ERROR_CAPTION" 2>/dev/null); then
    e2e_fail "error box at start: $(kv text <<<"$box")"
  fi
}

_field_has_focus() {
  [[ $(control_fact "$TITLE" "3" focus 2>/dev/null) == 1 ]]
}

# expect_font TITLE SELECTOR POINTS: Arial bold, Cyrillic character set.
expect_font() {
  local font
  font=$(probe font "$1" "$2") || e2e_fail "cannot read the font of '$2'"
  assert_eq Arial "$(kv face <<<"$font")" "font face of '$2'"
  assert_eq 700 "$(kv weight <<<"$font")" "font weight of '$2'"
  assert_eq 204 "$(kv charset <<<"$font")" "font charset of '$2'"
  assert_eq "$3" "$(kv points <<<"$font")" "font size in points of '$2'"
}

# The colour 4 px inside the client area's top-left corner, a spot no control
# covers; retried for a while, because the window may still be painting.
_corner_colour_is() {
  local shot
  shot=$(screenshot "${2:-corner}")
  [[ $(client_pixel "$shot" "$TITLE" 4 4) == "$1" ]]
}

test_first_start_shows_main_window() {
  local dir facts controls line shot
  dir=$(app_dir)
  start_app "$dir"
  expect_clean_start

  facts=$(probe window "$TITLE")
  assert_eq 536 "$(kv client_w <<<"$facts")" "client width"
  assert_eq 155 "$(kv client_h <<<"$facts")" "client height"
  assert_eq 1 "$(kv minimize_box <<<"$facts")" "minimise button"
  assert_eq 0 "$(kv maximize_box <<<"$facts")" "maximise button"
  assert_eq 0 "$(kv sizable <<<"$facts")" "resizable border"
  local screen_w screen_h
  read -r screen_w screen_h < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
  assert_near $(((screen_w - $(kv w <<<"$facts")) / 2)) "$(kv x <<<"$facts")" 1 "left edge of a centred window"
  assert_near $(((screen_h - $(kv h <<<"$facts")) / 2)) "$(kv y <<<"$facts")" 1 "top edge of a centred window"

  wait_for 3 _field_has_focus || e2e_fail "the field '3' never had the keyboard focus"
  controls=$(probe controls "$TITLE")

  line=$(control_line "$controls" "$FRAME1")
  [[ -n $line ]] || e2e_fail "no frame '$FRAME1'"
  assert_eq groupbox "$(field type "$line")" "kind of '$FRAME1'"
  assert_eq 1 "$(field visible "$line")" "'$FRAME1' visible"

  line=$(control_line "$controls" "3")
  [[ -n $line ]] || e2e_fail "no field with the text '3'"
  assert_eq Edit "$(field class "$line")" "class of the field"
  assert_eq 1 "$(field visible "$line")" "field visible"
  assert_eq 1 "$(field focus "$line")" "field has the keyboard focus"

  line=$(control_line "$controls" "$FRAME2")
  [[ -n $line ]] || e2e_fail "no frame '$FRAME2'"
  assert_eq groupbox "$(field type "$line")" "kind of '$FRAME2'"

  line=$(control_line "$controls" "$STARTUP_BOX")
  [[ -n $line ]] || e2e_fail "no check box '$STARTUP_BOX'"
  assert_contains "$(field type "$line")" checkbox "kind of '$STARTUP_BOX'"
  assert_eq 1 "$(field visible "$line")" "'$STARTUP_BOX' visible"
  assert_eq 0 "$(field checked "$line")" "'$STARTUP_BOX' checked"

  line=$(control_line "$controls" "$MINIMISED_BOX")
  [[ -n $line ]] || e2e_fail "no check box '$MINIMISED_BOX'"
  assert_contains "$(field type "$line")" checkbox "kind of '$MINIMISED_BOX'"
  assert_eq 0 "$(field visible "$line")" "'$MINIMISED_BOX' visible"

  line=$(control_line "$controls" "$START_TEXT")
  [[ -n $line ]] || e2e_fail "no button '$START_TEXT'"
  assert_eq 1 "$(field visible "$line")" "'$START_TEXT' visible"

  expect_font "$TITLE" "$FRAME1" 9.00
  expect_font "$TITLE" "$STARTUP_BOX" 9.00
  expect_font "$TITLE" "$START_TEXT" 11.25

  # No skin file: the bare window is white.
  wait_for 3 _corner_colour_is "$WHITE" || e2e_fail "client area corner is not white without a skin"
  shot=$(window_shot "$TITLE" window)
  if [[ ${UPDATE_SCREENSHOT:-} == 1 ]]; then
    mkdir -p "$E2E_ROOT/docs"
    cp "$shot" "$E2E_ROOT/docs/screenshot.png"
  fi

  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_bad_hand_cursor_reports_error_then_shows_window() {
  local dir box text
  dir=$(app_dir)
  printf 'This is not a cursor.\r\n' >"$dir/HAND-M.CUR"
  start_app "$dir"

  box=$(probe box "$ERROR_CAPTION" 20) || e2e_fail "no '$ERROR_CAPTION' box within 20 s"
  text=$(kv text <<<"$box")
  # The message text first, then the handler's place and line, an empty line
  # and the request (probe escapes the line breaks).
  assert_contains "$text" '\r\nin Pellucor2021/08/31.Form1.Form_Load at line 104\r\rPlease email screenshot of this message to ' "box text"
  assert_eq exclamation "$(kv icon <<<"$box")" "box icon"
  assert_eq OK "$(kv button.1 <<<"$box")" "box button"
  assert_eq 1 "$(grep -c '^button\.' <<<"$box")" "number of buttons in the box"
  screenshot error-box >/dev/null
  probe wait-window "$TITLE" 0 >/dev/null 2>&1 && e2e_fail "the window is visible while the start-up is still in its error box"

  probe press "$ERROR_CAPTION" 1 || e2e_fail "cannot press OK"
  expect_window "$TITLE" 10
  expect_no_box "$ERROR_CAPTION"
}

test_good_hand_cursor_starts_cleanly() {
  local dir
  [[ -f $E2E_DATA/HAND-M.CUR ]] || e2e_skip "tests/e2e/data/HAND-M.CUR is missing"
  dir=$(app_dir)
  cp "$E2E_DATA/HAND-M.CUR" "$dir/"
  start_app "$dir"
  expect_clean_start
  expect_no_box "$ERROR_CAPTION"
}

test_skin_colours_the_window() {
  local dir
  dir=$(app_dir)
  mkdir -p "$dir/x"
  printf '[Colors]\r\nWindow=#204080\r\n' >"$dir/x/o.cjs"
  start_app "$dir"
  expect_clean_start
  wait_for 5 _corner_colour_is "#204080" skinned ||
    e2e_fail "client area corner is $(client_pixel "$(screenshot skinned)" "$TITLE" 4 4), not the skin's #204080"
}
