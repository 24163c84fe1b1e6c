#!/usr/bin/env bash
# Runs the libFuzzer targets from their kept corpora.
#   scripts/fuzz.sh TARGET [SECONDS]   one target, 300 s unless given
#   scripts/fuzz.sh all SECONDS        every target in turn, SECONDS each
#   scripts/fuzz.sh list               the targets there are
# Builds the targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/, runs TARGET over fuzz/corpus/TARGET with fuzz/dict/TARGET.dict
# when there is one, then merges what it found back into the corpus,
# minimised: hand-made seeds (any name that is not a content hash) stay,
# the hashed inputs become the smallest set that covers what all inputs
# covered. Prints the executions and every crash, hang (over 10 s for one
# input) or out-of-memory with the command that reproduces it; the exit code
# is 1 when anything was found.
# Environment: FUZZ_JOBS (build jobs, default 2), FUZZ_NICE (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

usage() {
  sed -n '2,4p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
[ $# -ge 1 ] || usage
what=$1
seconds=${2:-300}
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
[ "$what" != all ] || [ $# -ge 2 ] || usage
jobs=${FUZZ_JOBS:-2}
nice=${FUZZ_NICE:-15}

# What the normal build needs, then clang with its sanitizer and libFuzzer runtimes.
bash scripts/deps.sh
need=(clang libclang-rt-14-dev)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELMORA_FUZZ=ON -DPELMORA_BENCH=OFF >/dev/null
# The targets come from the build ("name program" per line), so a target
# joins by being declared with pelmora_add_fuzz_target.
declare -A program
targets=()
while read -r name path; do
  [ -n "$name" ] || continue
  targets+=("$name")
  program[$name]=$path
done < "$build/fuzz_targets.txt"
if [ "$what" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$what" = all ]; then
  run=("${targets[@]}")
else
  [ -n "${program[$what]:-}" ] || { echo "No fuzz target $what (have: ${targets[*]})" >&2; exit 2; }
  run=("$what")
fi
nice -n "$nice" cmake --build "$build" -j "$jobs" --target "${run[@]}"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# Leaks of system libraries that targets load (fontconfig) are not the program's.
[ -f "$root/fuzz/lsan.supp" ] && export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:${LSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
# Targets that write files (settings, car lists) sync them to disk; in memory
# that costs nothing, so they run as fast as the others.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm/pelmora-fuzz-$$
  mkdir -p "$TMPDIR"
  trap 'rm -rf "$TMPDIR"' EXIT
fi

# Hand-made seeds have names of their own; what libFuzzer keeps is named by
# the SHA-1 of its content.
is_hashed() { [[ "$1" =~ ^[0-9a-f]{40}$ ]]; }

found_any=0
summary=()
for target in "${run[@]}"; do
  binary=${program[$target]}
  corpus=$root/fuzz/corpus/$target
  mkdir -p "$corpus"
  work=$build/fuzz-work/$target
  artifacts=$build/fuzz-artifacts/$target
  rm -rf "$work"
  mkdir -p "$work/new" "$work/merged" "$artifacts"
  dict=()
  [ -f "$root/fuzz/dict/$target.dict" ] && dict=(-dict="$root/fuzz/dict/$target.dict")
  before=$(find "$corpus" -type f | wc -l)
  ls "$artifacts" > "$work/artifacts-before"

  echo "== $target: ${seconds} s from $before kept inputs"
  # New inputs go to work/new (the first folder); the kept corpus is only
  # read. A run that finds something stops there; the next round goes on
  # for the time left (a few rounds at most, in case every start fails).
  started=$(date +%s)
  deadline=$((started + seconds))
  execs=0
  round=0
  status=0
  while [ "$round" -lt 5 ]; do
    left=$((deadline - $(date +%s)))
    [ "$left" -gt 0 ] || break
    log=$work/run-$round.log
    set +e
    nice -n "$nice" "$binary" -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
      "$work/new" "$corpus" > "$log" 2>&1
    code=$?
    set -e
    n=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || true)
    execs=$((execs + ${n:-0}))
    round=$((round + 1))
    [ "$code" -eq 0 ] && break
    status=$code
    echo "   round $round stopped (exit $code):"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz property violated|.*runtime error)' "$log" | head -n 5 | sed 's/^/     /' || true
  done
  secs=$(($(date +%s) - started))

  # Merge: every input so far into one minimal set, then the hand-made seeds
  # back beside it (a hashed copy of a seed is the seed itself).
  nice -n "$nice" "$binary" -merge=1 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/merge-" \
    "$work/merged" "$corpus" "$work/new" > "$work/merge.log" 2>&1 || true
  if grep -q 'MERGE-OUTER: .* new files' "$work/merge.log"; then
    for f in "$corpus"/*; do
      [ -f "$f" ] || continue
      is_hashed "$(basename "$f")" || rm -f "$work/merged/$(sha1sum "$f" | cut -d' ' -f1)"
    done
    find "$corpus" -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
    find "$work/merged" -type f -exec cp {} "$corpus/" \;
  else
    echo "   merge failed; corpus left as it was (see $work/merge.log)"
  fi
  after=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)

  echo "   $execs executions in $secs s, corpus $before -> $after inputs ($bytes bytes)"
  summary+=("$target: $execs executions in $secs s; corpus $after inputs, $bytes bytes")
  new_artifacts=$(ls "$artifacts" | grep -vxF -f "$work/artifacts-before" || true)
  if [ "$status" -ne 0 ] || [ -n "$new_artifacts" ]; then
    found_any=1
    for a in $new_artifacts; do
      echo "   FOUND, reproduce: $binary $artifacts/$a"
      summary+=("  FOUND: $binary $artifacts/$a")
    done
    echo "   once fixed, keep it as a regression input: cp $artifacts/<file> tests/fuzz/data/$target/"
  fi
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $found_any
