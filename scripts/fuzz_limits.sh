#!/usr/bin/env bash
# Runs the release mirotabe-convert again and again for SECONDS (900 by
# default) on generated texts and settings files (replacements that grow
# the text, wide tabs, column cuts, pictures and pages), each run under a
# limit on the size of files it writes (ulimit -f), on its memory
# (ulimit -v), or both. Every run must end by an exit status with a
# message, never by a signal: a run that a signal ends fails the script.
# Runs that end in neither 0, 1 nor 2 are kept in build/fuzz-limits/ with
# their input, settings and command. Prints the count of runs, of each exit status and of signals.
# Usage: scripts/fuzz_limits.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-900}"

convert=build/release/bin/mirotabe-convert
cmake --preset release >/dev/null
cmake --build --preset release --target mirotabe-convert >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
kept=build/fuzz-limits
mkdir -p "$kept"

pieces=('あ' '漢字' 'ｶﾞ' $'\t' $'\r\n' 'abc' '〜' '😀' '。' 'ー' ' ' '123' $'\n')
froms=('あ' 'a' '。' 'ー' '漢' 'ab' '〜' '1')
pick() { local -n list=$1; printf '%s' "${list[RANDOM % ${#list[@]}]}"; }

# A chunk of up to 64 pieces, repeated to up to about 48 MB.
make_input() {
  local chunk="" count=$((RANDOM % 64 + 1))
  for ((i = 0; i < count; i++)); do chunk+=$(pick pieces); done
  local bytes=$(((RANDOM % 4 == 0 ? RANDOM * 1500 : RANDOM * 20) + 1))
  yes "$chunk" | head -c "$bytes" >"$work/in.txt" || true
}

# A settings file in code page 932 with up to 6 entries whose To repeats
# a piece up to 60 times.
make_settings() {
  local ini=$'[Main]\r\nTabSpace='$((RANDOM % 10))$'\r\n'
  ini+=$'[Layout]\r\nColumnLength='$((RANDOM % 3 == 0 ? RANDOM % 60 : 0))
  ini+=$'\r\nColumnGap='$((RANDOM % 3))$'\r\nKinsoku='$((RANDOM % 3))$'\r\n'
  local entries=$((RANDOM % 7))
  for ((n = 1; n <= entries; n++)); do
    local to="" piece repeat=$((RANDOM % 4 == 0 ? RANDOM % 60 + 1 : RANDOM % 3 + 1))
    piece=$(pick froms)
    for ((i = 0; i < repeat; i++)); do to+=$piece; done
    ini+=$(printf '[Swap%03d]\r\nFrom=%s\r\nTo="%s"\r\nType=%d\r\n' "$n" "$(pick froms)" \
      "${to:0:60}" $((RANDOM % 4 == 0 ? 0 : 1)))
    ini+=$'\r\n'
  done
  printf '%s' "$ini" | iconv -c -f UTF-8 -t CP932 >"$work/Setting.ini"
}

formats=('' '' '' '--format png' '--format pdf' '--page a5' '--reverse' '--encoding utf-8')
outputs=('-o out' '-o -' '')
limits=('ulimit -f LIMIT_F' 'ulimit -v LIMIT_V' 'ulimit -f LIMIT_F; ulimit -v LIMIT_V')

runs=0
signals=0
declare -A statuses
end=$((SECONDS + seconds))
while ((SECONDS < end)); do
  make_input
  make_settings
  limit=$(pick limits)
  limit=${limit//LIMIT_F/$((RANDOM % 4000 + 1))}
  limit=${limit//LIMIT_V/$((RANDOM % 12 * 100000 + 60000))}
  command="$limit; exec $(printf '%q' "$PWD/$convert") --settings Setting.ini $(pick formats) \
$(pick outputs) in.txt"
  set +e
  (cd "$work" && bash -c "$command" >stdout 2>stderr)
  status=$?
  set -e
  runs=$((runs + 1))
  statuses[$status]=$((${statuses[$status]:-0} + 1))
  if ((status > 2)); then
    # Above 128, a signal ended the run; 127 is the system's loader, which
    # cannot map the picture converter's libraries under the smallest limits.
    ((status > 128)) && signals=$((signals + 1))
    case="$kept/$runs"
    mkdir -p "$case"
    cp "$work/in.txt" "$work/Setting.ini" "$work/stderr" "$case/"
    printf '%s\n' "$command" >"$case/command"
    echo "run $runs ended with $status: $case" >&2
  fi
  rm -f "$work/out" "$work/stdout"
done

echo "runs: $runs"
for status in "${!statuses[@]}"; do echo "exit status $status: ${statuses[$status]}"; done
echo "ended by a signal: $signals"
((signals == 0))
