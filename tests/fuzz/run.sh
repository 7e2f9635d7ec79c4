#!/usr/bin/env bash
# Runs the fuzzers of the checked build for a set time each and prints, per fuzzer, its
# executions, its coverage (cov: code edges reached, ft: features) and its findings (a crash, a
# hang, running out of memory, a leak or a sanitizer report; each input kept under
# BUILD/fuzz/findings/NAME/). Exits 1 when anything was found.
#
#   run.sh [--keep] BUILD SECONDS [NAME...]
#
# Each fuzzer first replays its kept reproducers (tests/fuzz/regressions/NAME/), then runs from its
# seeds (tests/fuzz/corpus/NAME/). With --keep (make fuzz) what it finds new is kept in
# BUILD/fuzz/corpus/NAME/ for the next run; without, it starts from the seeds alone.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
keep=0
if [[ "${1:-}" == "--keep" ]]; then keep=1; shift; fi
build=$1
seconds=$2
shift 2
names=("$@")
[[ ${#names[@]} -gt 0 ]] || names=(area_text compiled_map settings recording ogg png)

# The largest input each fuzzer makes, and options of its own. Settings are reported on stderr
# line by line: that output is dropped (sanitizer reports still show).
declare -A max_len=([area_text]=32768 [compiled_map]=16384 [settings]=4096 [recording]=65536 [ogg]=65536
                    [png]=32768)
declare -A extra=([settings]=-close_fd_mask=2)

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
failed=0
for name in "${names[@]}"; do
  bin="$build/fuzz/fuzz_$name"
  if [[ ! -x "$bin" ]]; then
    echo "fuzz $name: no fuzzer at $bin"
    failed=1
    continue
  fi
  findings="$build/fuzz/findings/$name"
  log="$build/fuzz/logs/$name.log"
  mkdir -p "$findings" "$(dirname "$log")"
  if [[ $keep -eq 1 ]]; then
    work="$build/fuzz/corpus/$name"
    mkdir -p "$work"
  else
    work="$(mktemp -d)"
  fi
  # Hangs (10 s on one input) and memory beyond 2 GB count as findings.
  opts=(-timeout=10 -rss_limit_mb=2048 -max_len="${max_len[$name]}" ${extra[$name]:-}
        -artifact_prefix="$findings/" -print_final_stats=1)
  [[ -f "$here/$name.dict" ]] && opts+=(-dict="$here/$name.dict")
  before=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)

  regress_ok=1
  mapfile -t kept < <(find "$here/regressions/$name" -type f 2>/dev/null | sort)
  if [[ ${#kept[@]} -gt 0 ]]; then
    if ! "$bin" "${opts[@]}" "${kept[@]}" >"$log.regressions" 2>&1; then
      regress_ok=0
      echo "fuzz $name: a kept reproducer fails again; see $log.regressions"
      tail -n 30 "$log.regressions"
    fi
  fi

  "$bin" "${opts[@]}" -max_total_time="$seconds" "$work" "$here/corpus/$name" >"$log" 2>&1
  status=$?
  [[ $keep -eq 1 ]] || rm -rf "$work"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  line=$(grep -E '^#[0-9]+' "$log" | grep -E 'cov: ' | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$line")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -n 1)
  after=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)
  found=$((after - before))
  if [[ $status -ne 0 && $found -eq 0 ]]; then found=1; fi # a failure that left no input behind
  [[ $regress_ok -eq 1 ]] || found=$((found + 1))
  echo "fuzz $name: ${seconds} s, ${execs:-0} executions, cov ${cov:-?}, ft ${ft:-?}, peak ${rss:-?} MB, ${found} findings"
  if [[ $found -ne 0 ]]; then
    failed=1
    grep -E -A 25 '^==[0-9]+==ERROR|runtime error|^fuzz: |ALARM|out-of-memory|Test unit written' "$log" | head -n 60
  fi
done
exit $failed
