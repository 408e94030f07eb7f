# shellcheck shell=bash
# The program in the user's Windows display language, which Wine takes from
# the locale the program starts in (the locale must exist: scripts/deps.sh
# makes these): the command line's box, the main window and the Options
# window in that language, nothing cut or covered; Arabic mirrored; a
# language Pellucor lacks reads English.

# _probe ARGS...: probe with its arguments read as UTF-8, whatever they hold.
_probe() { LC_ALL=C.UTF-8 probe "$@"; }

# _bogus_box LOCALE: the box a start with an unknown switch shows, in that
# language; its text.
_bogus_box() {
  local box pid
  (cd "$WINEPREFIX/drive_c" && LC_ALL=$1 exec "$WINE64" "$(app_dir)/pellucor.exe" /bogus) \
    >>"$E2E_SCENARIO_DIR/second.log" 2>&1 &
  pid=$!
  box=$(_probe box "$TITLE" 15) || e2e_fail "no box for /bogus in $1"
  screenshot "box" >/dev/null
  _probe press "$TITLE" 1 >/dev/null || e2e_fail "cannot press OK"
  wait "$pid" || true
  kv text <<<"$box" | unescape
}

# _speaks LOCALE RUN_CAPTION OPTIONS_TITLE BOX_TEXT SCALE QUESTION: a start
# in that language at that scaling (percent), with screenshots of each
# window; QUESTION is the seconds frame's caption.
_speaks() {
  local locale=$1 run=$2 options=$3 said=$4 scale=$5 question=$6 mirrored=0
  [[ $locale == ar_* ]] && mirrored=1
  if [[ $scale != 100 ]]; then
    "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((scale * 96 / 100)) /f \
      >/dev/null 2>&1 || e2e_fail "cannot set the scaling"
    # Wine reads the scaling when its desktop starts: a fresh one.
    "$WINESERVER" -k
    "$WINESERVER" -w
    "$WINESERVER" -p
  fi
  assert_contains "$(_bogus_box "$locale")" "$said" "the box for /bogus in $locale"
  LC_ALL=$locale start_app "$(app_dir)"
  expect_window "$TITLE" 20
  _probe control "$TITLE" "$run" >/dev/null ||
    e2e_fail "no run button reading '$run': $(_probe controls "$TITLE" | unescape)"
  window_shot "$TITLE" "window-$scale" >/dev/null
  assert_eq "$mirrored" "$(window_fact "$TITLE" rtl)" "the main window mirrored in $locale"
  # The seconds field has no label before it: a screen reader reads its frame's question.
  _probe accname "$TITLE" class:Edit | kv name | unescape >"$E2E_SCENARIO_DIR/field-name"
  assert_eq "$question" "$(cat "$E2E_SCENARIO_DIR/field-name")" "the seconds field's accessible name"
  focus_window "$TITLE"
  xdotool key alt+space
  wait_for 3 _menu_open || e2e_fail "Alt+Space opened no system menu"
  xdotool key --delay 50 Up Up Return
  LC_ALL=C.UTF-8 expect_window "$options" 5
  LC_ALL=C.UTF-8 expect_options_layout "$options" "options-$scale" >/dev/null
  assert_eq "$mirrored" "$(LC_ALL=C.UTF-8 window_fact "$options" rtl)" "the Options window mirrored in $locale"
  _probe press "$options" 2 >/dev/null || e2e_fail "cannot press Cancel"
  LC_ALL=C.UTF-8 probe wait-gone "$options" 5 >/dev/null || e2e_fail "Cancel did not close the Options window"
}
_menu_open() { probe windows --visible | grep -q 'class="#32768"'; }

# _speaks_at_100_and_150 LOCALE RUN_CAPTION OPTIONS_TITLE BOX_TEXT QUESTION:
# _speaks at 100 %, the program closed, then again at 150 %.
_speaks_at_100_and_150() {
  _speaks "$1" "$2" "$3" "$4" 100 "$5"
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 10
  _speaks "$1" "$2" "$3" "$4" 150 "$5"
}

test_a_german_start_speaks_german_at_100_and_150_percent() {
  _speaks_at_100_and_150 de_DE.UTF-8 'Ausblenden starten (Beenden mit Strg + Umschalt + S)' "Pellucor-Optionen" \
    "Pellucor kennt den Schalter" 'Nach wie vielen Sekunden ohne Mausbewegung soll der Zeiger ausgeblendet werden?'
}

test_a_japanese_start_speaks_japanese_at_100_and_150_percent() {
  _speaks_at_100_and_150 ja_JP.UTF-8 "非表示を開始 (Ctrl + Shift + S で停止)" "Pellucor のオプション" "Pellucor はスイッチ" \
    'ポインターを非表示にするまでの、マウスの停止時間 (秒)'
}

test_an_arabic_start_is_mirrored_at_100_and_150_percent() {
  _speaks_at_100_and_150 ar_SA.UTF-8 'بدء الإخفاء (اضغط Ctrl + Shift + S للإيقاف)' "خيارات Pellucor" \
    "لا يتعرف Pellucor على الخيار" 'كم ثانية يجب أن يتوقف الماوس عن الحركة قبل إخفاء المؤشر؟'
}

test_a_welsh_start_reads_english() {
  _speaks cy_GB.UTF-8 "$START_TEXT" "Pellucor Options" "Pellucor does not know the switch" 100 \
    "How many seconds does mouse need to stop moving before hiding?"
}

# Japanese read on a Western system: the ANSI code page cannot hold the
# balloon's words, which must still reach the notification area whole.
test_a_japanese_balloon_on_a_western_system_is_not_question_marks() {
  local balloon
  LC_CTYPE=C.UTF-8 LC_MESSAGES=ja_JP.UTF-8 start_app "$(app_dir)"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon"
  probe minimize "$TITLE" || e2e_fail "cannot minimise"
  expect_hidden "$TITLE" 5
  wait_for 8 balloon_text >/dev/null || e2e_fail "no balloon within 8 s of the first minimise"
  balloon=$(balloon_text | unescape)
  assert_contains "$balloon" "Pellucor は通知領域に最小化されました。" "the balloon"
  screenshot balloon >/dev/null
}
