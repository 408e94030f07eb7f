# shellcheck shell=bash
# The program's processes as Windows manages them: a start inside a job (a
# scheduled task's, a deployment tool's) leaves Pellucor running outside
# it, and Pellucor registers for Restart Manager's restarts, which an
# installer replacing its file relies on (Wine has no Restart Manager: the
# registration is read from the relay trace).

readonly RESTART_CALL='RegisterApplicationRestart('

# _job_start SECONDS ARGS...: tools/job_start.exe in the scenario's prefix,
# starting C:\Pellucor\pellucor.exe with ARGS in a job; prints its report.
# The report goes through a file: a pipe would stay open as long as the
# Pellucor it leaves running, which Wine gives the same output.
_job_start() {
  local seconds=$1 report=$E2E_SCENARIO_DIR/job_start.out
  shift
  (cd "$WINEPREFIX/drive_c" && exec "$WINE64" "$E2E_BIN/job_start.exe" "$seconds" 'C:\Pellucor\pellucor.exe' "$@") \
    >"$report" 2>>"$E2E_SCENARIO_DIR/job_start.log" || return 1
  cat "$report"
}

_no_program_left() { [[ -z $(program_pids) ]]; }

test_a_start_in_a_job_leaves_pellucor_running_outside_it() {
  local out copy
  app_dir >/dev/null
  # The start in the job ends once the copy it started outside answers;
  # then the job is closed, which ends whatever is still in it.
  out=$(_job_start 20 /start) || e2e_fail "job_start failed: $out"
  e2e_log "job_start: $(tr '\n' ' ' <<<"$out")"
  assert_eq 0 "$(kv exit <<<"$out")" "exit code of the start in the job"
  copy=$(kv copy_pid <<<"$out")
  assert_ne 0 "$copy" "a running Pellucor when the start in the job ended"
  assert_eq 0 "$(kv copy_in_job <<<"$out")" "the running Pellucor is in the job"
  # The job is closed: the copy outside it runs on, its run with it.
  assert_eq "$copy" "$(window_fact "$TITLE" pid)" "the process of Pellucor's window once the job was closed"
  wait_for 5 has_control "$TITLE" "$STOP_TEXT" || e2e_fail "no run after /start"
  expect_no_box "$TITLE"
  probe close "$TITLE" >/dev/null || e2e_fail "cannot post WM_CLOSE"
  wait_for 10 _no_program_left || e2e_fail "pellucor.exe still runs after the close: $(program_pids)"
}

_restart_calls() { grep -iF ":Call kernel32.$RESTART_CALL" "$TRACE" || true; }
_restart_calls_are() { [[ $(_restart_calls | wc -l) == "$1" ]]; }

test_restart_after_an_installer_is_registered_at_start_and_follows_the_run() {
  local calls
  relay_trace "kernel32.${RESTART_CALL%(}"
  APP_WINEDEBUG=+pid,+relay start_app "$(app_dir)"
  expect_window "$TITLE" 20
  wait_for 5 _restart_calls_are 1 || e2e_fail "RegisterApplicationRestart calls at start: $(_restart_calls)"
  calls=$(_restart_calls)
  e2e_log "at start: $calls"
  # A plain start (no arguments), for Restart Manager's restarts only:
  # RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT.
  assert_contains "$calls" "${RESTART_CALL}00000000,0000000b)" "the registration at start"

  click_control "$TITLE" "$START_TEXT"
  wait_for 5 _restart_calls_are 2 || e2e_fail "RegisterApplicationRestart calls after the run began: $(_restart_calls)"
  assert_contains "$(_restart_calls | tail -n 1)" " L\"/start /silent\",0000000b)" \
    "the registration during a run"
  probe close "$TITLE" >/dev/null || e2e_fail "cannot post WM_CLOSE"
  expect_app_exit 10
}
