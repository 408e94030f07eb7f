# shellcheck shell=bash
# The downloads: what scripts/package.sh writes, the portable zip, and the
# per-user installer with its upgrade and its quiet uninstall. A second start
# of the program brings the first copy's window back instead of running twice.

readonly UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellucor'
readonly USER_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
readonly MACHINE_RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
readonly SETTINGS_KEY='HKCU\Software\Trandavel\Pellucor'

_version() {
  tr -d '[:space:]' <"$E2E_ROOT/build/windows/version.txt"
}

_setup_exe() {
  local setup
  setup="$E2E_DIST/pellucor-$(_version)-setup.exe"
  [[ -f $setup ]] || e2e_fail "no $setup: run scripts/package.sh first"
  printf '%s\n' "$setup"
}

# _install [ARGS...]: runs the installer from C:\ of the prefix; its status.
_install() {
  local setup
  setup=$(_setup_exe)
  cp "$setup" "$WINEPREFIX/drive_c/setup.exe"
  (cd "$WINEPREFIX/drive_c" && "$WINE64" 'C:\setup.exe' "$@") >>"$E2E_SCENARIO_DIR/setup.log" 2>&1
}

# The folder the installer chose, from its uninstall entry (Unix path).
_install_dir() {
  unix_path "$(reg_query "$UNINSTALL_KEY" InstallLocation)"
}

_start_menu_shortcut() {
  printf '%s\n' "$(unix_path "$("$WINE64" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs/Pellucor.lnk"
}

_one_program() { [[ $(program_pids | wc -l) -eq 1 ]]; }
_no_program() { [[ -z $(program_pids) ]]; }
_gone() { [[ ! -e $1 ]]; }
_key_gone() { ! reg_key_exists "$1"; }

test_package_makes_three_downloads_named_with_the_version() {
  local version files
  version=$(_version)
  [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "version.txt holds '$version'"
  files=$(cd "$E2E_DIST" && ls -A | sort | tr '\n' ' ')
  assert_eq "pellucor-$version-portable.zip pellucor-$version-setup.exe pellucor-$version-x64.msi winget " \
    "$files" "files in build/dist"
}

# _adml_paths [folders]: the template's texts as they ship, a language a
# folder: "policy/de-DE/pellucor.adml ..." (with "folders", each folder too,
# as find lists them).
_adml_paths() {
  local dir culture out=()
  for dir in "$E2E_ROOT"/packaging/policy/*/; do
    culture=$(basename "$dir")
    [[ ${1:-} == folders ]] && out+=("policy/$culture")
    out+=("policy/$culture/pellucor.adml")
  done
  printf '%s\n' "${out[*]}"
}

test_portable_zip_runs_from_any_folder_and_writes_nothing_beside_itself() {
  local zip dir names readme
  zip="$E2E_DIST/pellucor-$(_version)-portable.zip"
  [[ -f $zip ]] || e2e_fail "no $zip: run scripts/package.sh first"
  names=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
  assert_eq "pellucor.exe README.txt LICENSE.txt policy/pellucor.admx $(_adml_paths)" "$names" \
    "the zip's files"

  dir="$WINEPREFIX/drive_c/users/Public/Downloads/Pellucor portable"
  mkdir -p "$dir"
  python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$dir"
  readme=$(cat "$dir/README.txt")
  assert_contains "$readme" "Pellucor $(_version)" "README.txt"
  assert_contains "$readme" "Ctrl+Shift+S" "README.txt"
  assert_contains "$readme" "HAND-M.CUR" "README.txt"
  assert_contains "$readme" "Removing it" "README.txt"
  [[ $readme == *$'\r'* ]] || e2e_fail "README.txt has no Windows line ends"
  assert_contains "$(cat "$dir/LICENSE.txt")" "Copyright (c) 2026 Trandavel" "LICENSE.txt"
  assert_eq "$(probe fileinfo 'C:\users\Public\Downloads\Pellucor portable\pellucor.exe' | kv FileVersion)" \
    "$(_version)" "the zipped program's version"

  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" 'C:\users\Public\Downloads\Pellucor portable\pellucor.exe') \
    >>"$E2E_SCENARIO_DIR/app.log" 2>&1 &
  APP_PID=$!
  E2E_APP_PIDS+=("$APP_PID")
  expect_window "$TITLE" 20
  type_text "$TITLE" 7
  click_control "$TITLE" "$STARTUP_BOX"
  wait_for 5 has_control "$TITLE" "$MINIMISED_BOX" || true
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
  assert_eq "LICENSE.txt README.txt pellucor.exe policy " "$(cd "$dir" && ls -A | sort | tr '\n' ' ')" \
    "files beside the program after a run"
}

test_silent_install_gives_files_shortcut_and_uninstall_entry_and_one_copy_at_a_time() {
  local dir exe_win version run
  version=$(_version)
  _install /S || e2e_fail "the silent install failed"
  wait_for 10 reg_key_exists "$UNINSTALL_KEY" || e2e_fail "no uninstall entry after a silent install"
  dir=$(_install_dir)
  assert_contains "$dir" "/AppData/Local/Programs/Pellucor" "install folder"
  assert_eq "LICENSE.txt README.txt pellucor.exe uninstall.exe " "$(cd "$dir" && ls -A | sort | tr '\n' ' ')" \
    "installed files"
  [[ -f $(_start_menu_shortcut) ]] || e2e_fail "no Start menu shortcut at $(_start_menu_shortcut)"

  exe_win="$(reg_query "$UNINSTALL_KEY" InstallLocation)\\pellucor.exe"
  assert_eq "$(probe fileinfo "$exe_win" | kv FileVersion)" "$(reg_query "$UNINSTALL_KEY" DisplayVersion)" \
    "DisplayVersion against the program's version resource"
  assert_eq "$version" "$(reg_query "$UNINSTALL_KEY" DisplayVersion)" "DisplayVersion"
  assert_eq "Pellucor" "$(reg_query "$UNINSTALL_KEY" DisplayName)" "DisplayName"
  assert_eq "Trandavel" "$(reg_query "$UNINSTALL_KEY" Publisher)" "Publisher"
  assert_eq "$exe_win,0" "$(reg_query "$UNINSTALL_KEY" DisplayIcon)" "DisplayIcon"
  assert_eq "https://trandavel.example/pellucor/" "$(reg_query "$UNINSTALL_KEY" URLInfoAbout)" "URLInfoAbout"
  assert_eq 0x1 "$(reg_query "$UNINSTALL_KEY" NoModify)" "NoModify"
  assert_eq 0x1 "$(reg_query "$UNINSTALL_KEY" NoRepair)" "NoRepair"
  [[ $(reg_query "$UNINSTALL_KEY" EstimatedSize) =~ ^0x[0-9a-f]+$ ]] || e2e_fail "no EstimatedSize"
  assert_contains "$(reg_query "$UNINSTALL_KEY" UninstallString)" 'uninstall.exe"' "UninstallString"
  assert_contains "$(reg_query "$UNINSTALL_KEY" QuietUninstallString)" 'uninstall.exe" /S' "QuietUninstallString"
  for file in "$(_setup_exe)" "$dir/uninstall.exe"; do
    cp "$file" "$WINEPREFIX/drive_c/look.exe"
    assert_eq "$version" "$(probe fileinfo 'C:\look.exe' | kv FileVersion)" "version of ${file##*/}"
    assert_eq "256,128,48,32" "$(probe fileinfo 'C:\look.exe' | kv icon_sizes | cut -d, -f1-4)" "icon of ${file##*/}"
  done

  # The installed copy starts; a second start brings its window out of the tray.
  start_app "$dir"
  expect_window "$TITLE" 20
  wait_tray_icons 1 10 || e2e_fail "no tray icon"
  probe minimize "$TITLE" >/dev/null
  expect_hidden "$TITLE" 5
  (cd "$WINEPREFIX/drive_c" && "$WINE64" "$exe_win") >>"$E2E_SCENARIO_DIR/second.log" 2>&1 ||
    e2e_fail "the second start ended with status $?"
  expect_shown_and_active "$TITLE"
  _one_program || e2e_fail "pellucor.exe processes after a second start: $(program_pids | wc -l)"
  assert_eq 1 "$(tray_icon_count)" "tray icons after a second start"

  # Run at logon names the installed program.
  click_control "$TITLE" "$STARTUP_BOX"
  wait_for 5 has_control "$TITLE" "$MINIMISED_BOX" || e2e_fail "the startup switch did not take"
  run=$(reg_query "$MACHINE_RUN_KEY" pellucor.exe || reg_query "$USER_RUN_KEY" pellucor.exe) ||
    e2e_fail "no Run value after switching run at logon on"
  assert_eq "$exe_win" "$run" "the Run value"
  screenshot installed >/dev/null
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5
}

test_install_over_a_running_copy_then_quiet_uninstall_leave_nothing() {
  local dir exe_win quiet uninstaller args
  need_x_cursor
  _install /S || e2e_fail "the first install failed"
  wait_for 10 reg_key_exists "$UNINSTALL_KEY" || e2e_fail "no uninstall entry"
  dir=$(_install_dir)
  exe_win="$(reg_query "$UNINSTALL_KEY" InstallLocation)\\pellucor.exe"
  reg_set "$SETTINGS_KEY" "Windows Startup" On
  reg_set "$USER_RUN_KEY" pellucor.exe "$exe_win"

  # Running, the cursor hidden (its guardian watching): the upgrade closes it
  # as a user would and starts the new one.
  start_run_on_window "$dir"
  wait_for 8 x_cursor_is hidden || e2e_fail "the resting cursor never hid: $(x_cursor)"
  wait_for 3 guardian_pid >/dev/null || e2e_fail "no guardian while the cursor is hidden"
  _install /S || e2e_fail "installing over the running copy failed"
  wait_for 10 _one_program || e2e_fail "pellucor.exe processes after the upgrade: $(program_pids | wc -l)"
  expect_window "$TITLE" 15
  ! guardian_pid >/dev/null || e2e_fail "the old copy's guardian outlived it"
  x_cursor_is shown || e2e_fail "the cursor is still hidden after the upgrade: $(x_cursor)"
  assert_eq On "$(reg_query "$SETTINGS_KEY" "Windows Startup")" "the startup setting after the upgrade"
  assert_eq 1 "$(tray_icon_count)" "tray icons after the upgrade"

  # The quiet uninstall, as Windows runs it.
  quiet=$(reg_query "$UNINSTALL_KEY" QuietUninstallString)
  [[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]] || e2e_fail "QuietUninstallString is '$quiet'"
  uninstaller=${BASH_REMATCH[1]}
  args=${BASH_REMATCH[2]}
  # shellcheck disable=SC2086 # the arguments as the string gives them
  (cd "$WINEPREFIX/drive_c" && "$WINE64" "$uninstaller" $args) >>"$E2E_SCENARIO_DIR/uninstall.log" 2>&1 ||
    e2e_fail "the quiet uninstall failed"
  wait_for 20 _gone "$dir" || e2e_fail "the install folder stays: $(ls -A "$dir" | tr '\n' ' ')"
  wait_for 10 _no_program || e2e_fail "pellucor.exe still runs after the uninstall"
  _gone "$(_start_menu_shortcut)" || e2e_fail "the Start menu shortcut stays"
  wait_for 5 _key_gone "$UNINSTALL_KEY" || e2e_fail "the uninstall entry stays"
  ! reg_query "$USER_RUN_KEY" pellucor.exe >/dev/null || e2e_fail "the user's Run value stays"
  ! reg_query "$MACHINE_RUN_KEY" pellucor.exe >/dev/null || e2e_fail "the machine's Run value stays"
  _key_gone "$SETTINGS_KEY" || e2e_fail "the settings key stays"
  _key_gone 'HKCU\Software\Trandavel' || e2e_fail "the empty Trandavel key stays"
  reg_key_exists "$USER_RUN_KEY" || e2e_fail "the uninstall removed the whole Run key"
}

# _setup_by_hand SUFFIX: starts the installer as a user does (no /S) and
# clicks through to its last page; sets SETUP_PID. SUFFIX ends the name of
# the welcome page's screenshot.
_setup_by_hand() {
  cp "$(_setup_exe)" "$WINEPREFIX/drive_c/setup.exe"
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" 'C:\setup.exe') \
    >>"$E2E_SCENARIO_DIR/setup.log" 2>&1 &
  SETUP_PID=$!
  probe wait-window "Pellucor Setup" 20 >/dev/null || e2e_fail "no installer window"
  window_shot "Pellucor Setup" "welcome$1" >/dev/null
  probe click "Pellucor Setup" "&Next >" || e2e_fail "no Next button on the welcome page"
  # The inner pages' caption ends with a space.
  wait_for 10 has_control "Pellucor Setup " "&Install" || e2e_fail "no Install button on the folder page"
  probe click "Pellucor Setup " "&Install" || e2e_fail "cannot press Install"
  wait_for 20 has_control "Pellucor Setup " "&Finish" || e2e_fail "the installer never reached its last page"
}

_setup_gone() { ! app_running "$SETUP_PID"; }

# _windows_pid NAME / _windows_parent NAME: a running program's Windows
# process id, and its parent's, as Wine's wmic lists them.
_windows_pid() { process_table | awk -v n="$1" 'tolower($1) == n { print $3; exit }'; }
_windows_parent() { process_table | awk -v n="$1" 'tolower($1) == n { print $2; exit }'; }
# _not_started_by PID WHAT: pellucor.exe runs, and not as PID's child.
_not_started_by() {
  local parent
  parent=$(_windows_parent pellucor.exe)
  [[ -n $parent ]] || e2e_fail "wmic lists no pellucor.exe"
  assert_ne "$1" "$parent" "$2"
}

# _finish_setup: presses Finish and waits for the installer to end.
_finish_setup() {
  probe click "Pellucor Setup " "&Finish" || e2e_fail "cannot press Finish"
  wait_for 15 _setup_gone || e2e_fail "the installer still runs after Finish"
}

# The program started exactly once, and nothing else shows a window but the
# tray and its balloons: a second start would bring the first copy's window
# out of the tray, and an explorer.exe asked to open the program must not
# leave a folder window.
_one_quiet_program() {
  local others
  _one_program || return 1
  ! guardian_pid >/dev/null || return 1
  others=$(probe windows --visible |
    grep -v -e ' class="Pellucor.Form" ' -e ' class="__winex11_standalone_tray" ' -e ' class="tooltips_class32" ')
  [[ -z $others ]]
}

# _holds SECONDS COMMAND...: COMMAND stays true for that long.
_holds() {
  local until=$((SECONDS + $1))
  shift
  while ((SECONDS < until)); do
    "$@" || return 1
    sleep 0.2
  done
}

# Run as administrator, the installer must not pass its rights on: it has
# Explorer start the program (Wine reports every process as an
# administrator's, so that is the way taken here). Wine's explorer.exe,
# given the program's path, opens it itself and ends; it leaves no window.
# What Wine cannot show is the point of it: that the program then runs
# without the installer's elevation (Wine has no elevation, and no running
# Explorer takes the request over). What it shows is that the installer
# hands the start on rather than starting the program itself, and that the
# program starts, once, in both places the installer starts it.
test_interactive_install_offers_to_start_pellucor() {
  local setup old new
  _setup_by_hand ""
  assert_eq 1 "$(control_fact "Pellucor Setup " "Start Pellucor" visible)" "'Start Pellucor' shown"
  assert_eq 1 "$(control_fact "Pellucor Setup " "Start Pellucor" checked)" "'Start Pellucor' ticked"
  window_shot "Pellucor Setup " finish >/dev/null
  setup=$(_windows_pid setup.exe)
  [[ -n $setup ]] || e2e_fail "wmic lists no setup.exe"
  _finish_setup
  expect_window "$TITLE" 20
  _holds 2 _one_quiet_program ||
    e2e_fail "after Finish: $(program_pids | wc -l) pellucor.exe, windows: $(probe windows --visible | cut -c1-120)"
  _not_started_by "$setup" "the parent of the program started by Finish"

  # An upgrade over that copy sitting in the tray restarts it once, into the
  # tray again, and does not offer to start it a second time.
  reg_set "$SETTINGS_KEY" "Windows Startup" On
  reg_set "$SETTINGS_KEY" Minimized On
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  wait_for 10 _no_program || e2e_fail "pellucor.exe still runs after its close"
  start_app "$(_install_dir)"
  wait_tray_icons 1 15 || e2e_fail "no tray icon"
  expect_hidden "$TITLE" 5
  old=$(program_pids)
  [[ -n $old ]] || e2e_fail "no pellucor.exe in the tray before the upgrade"
  _setup_by_hand -upgrade
  ! app_running "$old" || e2e_fail "the upgrade did not close the running copy"
  wait_for 10 _one_program || e2e_fail "the upgrade did not start the closed copy again: $(program_pids | wc -l)"
  new=$(program_pids)
  assert_eq 0 "$(control_fact "Pellucor Setup " "Start Pellucor" visible)" "'Start Pellucor' shown after a restart"
  assert_eq 0 "$(control_fact "Pellucor Setup " "Start Pellucor" checked)" "'Start Pellucor' ticked after a restart"
  setup=$(_windows_pid setup.exe)
  [[ -n $setup ]] || e2e_fail "wmic lists no setup.exe"
  _not_started_by "$setup" "the parent of the restarted copy"
  window_shot "Pellucor Setup " finish-upgrade >/dev/null
  _finish_setup
  _holds 3 _one_quiet_program ||
    e2e_fail "after the upgrade's Finish: $(program_pids | wc -l) pellucor.exe, windows: $(probe windows --visible | cut -c1-120)"
  assert_eq "$new" "$(program_pids)" "the copy the upgrade started"
  expect_hidden "$TITLE" 1
  assert_eq 1 "$(tray_icon_count)" "tray icons after the upgrade"
}

# The installer in German. Wine takes the display language from the
# process's locale: it asks glibc (setlocale), and where glibc has no such
# locale installed, as on a machine with only C.UTF-8, it reads LC_ALL
# itself. So LC_ALL gives German everywhere; LANG alone only where glibc has
# de_DE generated.
readonly GERMAN=de_DE.UTF-8
# The caption of the German pages; the inner pages' ends with a space.
readonly GERMAN_SETUP="Installation von Pellucor"

# _german_setup: starts the installer with German as the display language
# and waits for its first page; sets SETUP_PID.
_german_setup() {
  cp "$(_setup_exe)" "$WINEPREFIX/drive_c/setup.exe"
  (cd "$WINEPREFIX/drive_c" && LC_ALL=$GERMAN LANG=$GERMAN exec "$WINE64" 'C:\setup.exe') \
    >>"$E2E_SCENARIO_DIR/setup.log" 2>&1 &
  SETUP_PID=$!
  probe wait-window "$GERMAN_SETUP" 20 >/dev/null ||
    e2e_fail "no German installer window; windows: $(probe windows --visible | cut -c1-160)"
}

# _german_folder_page: from the welcome page to the folder page.
_german_folder_page() {
  probe click "$GERMAN_SETUP" "&Weiter >" || e2e_fail "no Weiter button on the German welcome page"
  wait_for 10 has_control "$GERMAN_SETUP " "&Installieren" || e2e_fail "no Installieren button on the folder page"
}

# Where the installer puts Pellucor unless told otherwise (Unix path).
_default_install_dir() {
  unix_path "$("$WINE64" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\\Programs\\Pellucor"
}

# With German as the display language the installer's pages are German,
# NSIS's texts and ours alike; cancelling installs nothing, and finishing
# installs and starts Pellucor as the English installer does, the Start
# menu entry described in German; the German uninstaller removes it all.
test_interactive_install_speaks_the_display_language_german() {
  local version welcome box dir setup exe_win uninstaller
  version=$(_version)
  _german_setup
  welcome=$(probe controls "$GERMAN_SETUP")
  assert_contains "$welcome" \
    "Setup installiert Pellucor $version nur für Sie; dafür sind keine Administratorrechte erforderlich." \
    "the German welcome page"
  assert_contains "$welcome" "Pellucor blendet den Mauszeiger aus, solange er ruht" "the German welcome page"
  assert_contains "$welcome" "Klicken Sie auf Weiter, um fortzufahren." "the German welcome page"
  assert_not_contains "$welcome" "Setup will install" "the German welcome page"
  has_control "$GERMAN_SETUP" "Abbrechen" || e2e_fail "no Abbrechen button on the German welcome page"
  window_shot "$GERMAN_SETUP" welcome-german >/dev/null

  # Cancelled on the folder page: asked in German, then nothing is left.
  _german_folder_page
  has_control "$GERMAN_SETUP " "Zielverzeichnis auswählen" || e2e_fail "the folder page has no German title"
  probe click "$GERMAN_SETUP " "Abbrechen" || e2e_fail "cannot press Abbrechen"
  box=$(probe box "$GERMAN_SETUP" 10) || e2e_fail "Abbrechen asked nothing"
  assert_eq "Sind Sie sicher, dass Sie die Installation von Pellucor abbrechen möchten?" "$(kv text <<<"$box")" \
    "the question on cancelling"
  probe press "$GERMAN_SETUP" 6 >/dev/null || e2e_fail "cannot answer Ja"
  wait_for 15 _setup_gone || e2e_fail "the installer still runs after cancelling"
  dir=$(_default_install_dir)
  [[ $dir == */AppData/Local/Programs/Pellucor ]] || e2e_fail "the default install folder is '$dir'"
  _gone "$dir" || e2e_fail "cancelling left $dir: $(ls -A "$dir" | tr '\n' ' ')"
  _key_gone "$UNINSTALL_KEY" || e2e_fail "cancelling left an uninstall entry"
  _gone "$(_start_menu_shortcut)" || e2e_fail "cancelling left a Start menu shortcut"
  _no_program || e2e_fail "cancelling started pellucor.exe"

  # Finished: the German last page offers to start Pellucor, which starts
  # once, not as Setup's child, from the folder an English install uses.
  _german_setup
  _german_folder_page
  probe click "$GERMAN_SETUP " "&Installieren" || e2e_fail "cannot press Installieren"
  wait_for 20 has_control "$GERMAN_SETUP " "&Fertigstellen" || e2e_fail "the installer never reached its last page"
  assert_contains "$(probe controls "$GERMAN_SETUP ")" "Pellucor wurde auf Ihrem Computer installiert." \
    "the German last page"
  assert_eq 1 "$(control_fact "$GERMAN_SETUP " "Pellucor starten" visible)" "'Pellucor starten' shown"
  assert_eq 1 "$(control_fact "$GERMAN_SETUP " "Pellucor starten" checked)" "'Pellucor starten' ticked"
  window_shot "$GERMAN_SETUP " finish-german >/dev/null
  setup=$(_windows_pid setup.exe)
  [[ -n $setup ]] || e2e_fail "wmic lists no setup.exe"
  probe click "$GERMAN_SETUP " "&Fertigstellen" || e2e_fail "cannot press Fertigstellen"
  wait_for 15 _setup_gone || e2e_fail "the installer still runs after Fertigstellen"
  expect_window "$TITLE" 20
  _holds 2 _one_quiet_program ||
    e2e_fail "after Fertigstellen: $(program_pids | wc -l) pellucor.exe, windows: $(probe windows --visible | cut -c1-120)"
  _not_started_by "$setup" "the parent of the program started by Fertigstellen"

  assert_eq "$dir" "$(_install_dir)" "the install folder"
  assert_eq "LICENSE.txt README.txt pellucor.exe uninstall.exe " "$(cd "$dir" && ls -A | sort | tr '\n' ' ')" \
    "installed files"
  assert_eq Pellucor "$(reg_query "$UNINSTALL_KEY" DisplayName)" "DisplayName"
  assert_eq "$version" "$(reg_query "$UNINSTALL_KEY" DisplayVersion)" "DisplayVersion"
  exe_win="$(reg_query "$UNINSTALL_KEY" InstallLocation)\\pellucor.exe"
  assert_eq "$exe_win,0" "$(reg_query "$UNINSTALL_KEY" DisplayIcon)" "DisplayIcon"
  [[ -f $(_start_menu_shortcut) ]] || e2e_fail "no Start menu shortcut at $(_start_menu_shortcut)"
  python3 -c 'import sys; sys.exit(sys.argv[2].encode("utf-16-le") not in open(sys.argv[1], "rb").read())' \
    "$(_start_menu_shortcut)" "Blendet den Mauszeiger aus, solange er ruht" ||
    e2e_fail "the Start menu shortcut's description is not the German one"

  # The German uninstaller, quiet, closes the running copy and takes it all.
  uninstaller=$(reg_query "$UNINSTALL_KEY" UninstallString | tr -d '"')
  (cd "$WINEPREFIX/drive_c" && LC_ALL=$GERMAN LANG=$GERMAN "$WINE64" "$uninstaller" /S) \
    >>"$E2E_SCENARIO_DIR/uninstall.log" 2>&1 || e2e_fail "the German quiet uninstall failed"
  wait_for 20 _gone "$dir" || e2e_fail "the install folder stays: $(ls -A "$dir" | tr '\n' ' ')"
  wait_for 10 _no_program || e2e_fail "pellucor.exe still runs after the uninstall"
  _gone "$(_start_menu_shortcut)" || e2e_fail "the Start menu shortcut stays"
  wait_for 5 _key_gone "$UNINSTALL_KEY" || e2e_fail "the uninstall entry stays"
}

# The per-machine MSI, as a deployment tool runs it: quiet install into
# Program Files with a Start menu entry for every user and an uninstall
# entry under HKLM; quiet removal takes all of that away and leaves the
# user's settings alone.
test_msi_installs_for_all_users_and_quietly_removes_what_it_installed() {
  local version msi code entry dir shortcut
  version=$(_version)
  msi="$E2E_DIST/pellucor-$version-x64.msi"
  [[ -f $msi ]] || e2e_fail "no $msi: run scripts/package.sh first"
  code=$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }' | tr -d '\r')
  [[ $code =~ ^\{[0-9A-F-]{36}\}$ ]] || e2e_fail "the MSI's ProductCode is '$code'"
  assert_eq 1 "$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "ALLUSERS" { print $2 }' | tr -d '\r')" \
    "ALLUSERS in the MSI"
  entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code"
  cp "$msi" "$WINEPREFIX/drive_c/pellucor.msi"
  reg_set "$SETTINGS_KEY" Minimized Off

  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /i 'C:\pellucor.msi' /qn /l*v 'C:\install.log') \
    >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 || e2e_fail "msiexec /i ended with status $?"
  dir="$WINEPREFIX/drive_c/Program Files/Pellucor"
  # shellcheck disable=SC2046 # one word a path
  assert_eq "$(printf '%s\n' pellucor.exe policy policy/pellucor.admx $(_adml_paths folders) | LC_ALL=C sort | tr '\n' ' ')" \
    "$(cd "$dir" && find . -mindepth 1 | sed 's#^\./##' | LC_ALL=C sort | tr '\n' ' ')" "installed files"
  # Where the install put the Start menu: the all-users one on Windows, the
  # user's own under Wine (see README.md).
  shortcut=$(tr -d '\r' <"$WINEPREFIX/drive_c/install.log" | sed -n 's/^Property(S): ProgramMenuFolder = //p' |
    head -n 1)
  [[ -n $shortcut ]] || e2e_fail "the install log names no ProgramMenuFolder"
  shortcut="$(unix_path "$shortcut")/Pellucor.lnk"
  [[ -f $shortcut ]] || e2e_fail "no Start menu shortcut at $shortcut"
  reg_key_exists "$entry" || e2e_fail "no uninstall entry $entry"
  assert_eq Pellucor "$(reg_query "$entry" DisplayName)" "DisplayName"
  assert_eq Trandavel "$(reg_query "$entry" Publisher)" "Publisher"
  assert_eq "$version" "$(reg_query "$entry" DisplayVersion)" "DisplayVersion"
  assert_eq "$version" "$(probe fileinfo 'C:\Program Files\Pellucor\pellucor.exe' | kv FileVersion)" \
    "the installed program's version"

  # The installed program starts, finds the user's settings, and closes.
  start_app "$dir"
  expect_window "$TITLE" 20
  probe close "$TITLE" || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 5

  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /x 'C:\pellucor.msi' /qn) >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 ||
    e2e_fail "msiexec /x ended with status $?"
  _gone "$dir" || e2e_fail "the install folder stays: $(ls -A "$dir" | tr '\n' ' ')"
  _gone "$shortcut" || e2e_fail "the Start menu shortcut stays"
  _key_gone "$entry" || e2e_fail "the uninstall entry stays"
  _key_gone 'HKLM\Software\Trandavel\Pellucor\Install' || e2e_fail "the installer's own key stays"
  assert_eq Off "$(reg_query "$SETTINGS_KEY" Minimized)" "the user's settings after the removal"
}

_msi_product_code() {
  msiinfo export "$1" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }' | tr -d '\r'
}

# A newer MSI replaces the installed one, leaving one product and one
# uninstall entry; the older one then refuses to go over it.
test_msi_newer_replaces_older_and_older_refuses_to_go_over_newer() {
  local version newer old_msi new_msi old_code new_code key status
  version=$(_version)
  newer="${version%.*}.$((${version##*.} + 1))"
  old_msi="$E2E_DIST/pellucor-$version-x64.msi"
  [[ -f $old_msi ]] || e2e_fail "no $old_msi: run scripts/package.sh first"
  [[ -f $E2E_ROOT/build/package/pellucor.exe ]] || e2e_fail "no staged pellucor.exe: run scripts/package.sh first"
  new_msi="$E2E_SCENARIO_DIR/pellucor-$newer-x64.msi"
  bash "$E2E_ROOT/scripts/msi.sh" "$newer" "$E2E_ROOT/build/package" "$new_msi" >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 ||
    e2e_fail "could not build a $newer MSI"
  old_code=$(_msi_product_code "$old_msi")
  new_code=$(_msi_product_code "$new_msi")
  assert_ne "$old_code" "$new_code" "the two MSIs' ProductCodes"
  # A rebuild of one version is the same product, not a second one beside it.
  bash "$E2E_ROOT/scripts/msi.sh" "$version" "$E2E_ROOT/build/package" "$E2E_SCENARIO_DIR/again.msi" \
    >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 || e2e_fail "could not build the $version MSI again"
  assert_eq "$old_code" "$(_msi_product_code "$E2E_SCENARIO_DIR/again.msi")" "the ProductCode of a rebuild"
  key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  cp "$old_msi" "$WINEPREFIX/drive_c/old.msi"
  cp "$new_msi" "$WINEPREFIX/drive_c/new.msi"

  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /i 'C:\old.msi' /qn) >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 ||
    e2e_fail "installing $version ended with status $?"
  reg_key_exists "$key\\$old_code" || e2e_fail "no uninstall entry for $version"
  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /i 'C:\new.msi' /qn) >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 ||
    e2e_fail "installing $newer over $version ended with status $?"
  reg_key_exists "$key\\$new_code" || e2e_fail "no uninstall entry for $newer"
  _key_gone "$key\\$old_code" || e2e_fail "the $version uninstall entry stays after the upgrade"
  assert_eq "$newer" "$(reg_query "$key\\$new_code" DisplayVersion)" "DisplayVersion after the upgrade"
  [[ -f "$WINEPREFIX/drive_c/Program Files/Pellucor/pellucor.exe" ]] || e2e_fail "no program after the upgrade"

  status=0
  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /i 'C:\old.msi' /qn) >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 || status=$?
  assert_ne 0 "$status" "the status of installing $version over $newer"
  _key_gone "$key\\$old_code" || e2e_fail "$version installed over $newer"
  reg_key_exists "$key\\$new_code" || e2e_fail "the refused downgrade removed $newer"

  (cd "$WINEPREFIX/drive_c" && "$WINE64" msiexec /x 'C:\new.msi' /qn) >>"$E2E_SCENARIO_DIR/msi.log" 2>&1 ||
    e2e_fail "removing $newer ended with status $?"
  _gone "$WINEPREFIX/drive_c/Program Files/Pellucor" || e2e_fail "the install folder stays"
  _key_gone "$key\\$new_code" || e2e_fail "the $newer uninstall entry stays"
}
