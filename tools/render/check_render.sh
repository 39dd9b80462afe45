#!/usr/bin/env bash
# End-to-end checks of corvina-render: exit codes for bad input, a render, and a
# chunk saved after one render reproducing that render byte for byte.
# Usage: check_render.sh RENDER DEMO.wav
set -u
render=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

expect() {  # expect CODE WHAT -- COMMAND...
  local code=$1 what=$2
  shift 3
  "$@" > "$work/out.txt" 2> "$work/err.txt"
  local got=$?
  if [ "$got" -ne "$code" ]; then
    echo "FAIL: $what: exit $got, expected $code"; cat "$work/err.txt"; fail=1
  elif [ "$code" -ne 0 ] && ! [ -s "$work/err.txt" ]; then
    echo "FAIL: $what: no message"; fail=1
  fi
}

expect 2 "unknown option" -- "$render" --frobnicate "$demo" "$work/x.wav"
expect 2 "block of 0" -- "$render" --block 0 "$demo" "$work/x.wav"
expect 2 "oversampling 17" -- "$render" --oversampling 17 "$demo" "$work/x.wav"
expect 2 "missing output" -- "$render" "$demo"
expect 2 "preset and chunk" -- "$render" --preset a --chunk b "$demo" "$work/x.wav"
expect 1 "unreadable input" -- "$render" "$work/none.wav" "$work/x.wav"
printf 'not audio' > "$work/text.wav"
expect 1 "input that is no sound file" -- "$render" "$work/text.wav" "$work/x.wav"
expect 3 "unknown preset" -- "$render" --preset "No Such Preset" "$demo" "$work/x.wav"
printf 'garbage{' > "$work/bad.chunk"
expect 1 "garbage chunk file" -- "$render" --chunk "$work/bad.chunk" "$demo" "$work/x.wav"
printf 'short' > "$work/bad.fxda"
expect 1 "document that does not parse" -- "$render" --document "$work/bad.fxda" "$demo" "$work/x.wav"
expect 0 "list" -- "$render" --list

expect 0 "render" -- "$render" --save-chunk "$work/rig.chunk" "$demo" "$work/first.wav"
if [ "$(stat -c %s "$work/rig.chunk")" -le 1 ]; then
  # A lone NUL: the plug-in has no rig to describe (no document loader linked).
  echo "the start-up rig gives an empty chunk: nothing to render from it"
  exit $fail
fi
expect 0 "render from the saved chunk" -- "$render" --chunk "$work/rig.chunk" --block 7 "$demo" "$work/again.wav"
if [ "$fail" -eq 0 ]; then
  cmp -s "$work/first.wav" "$work/again.wav" || { echo "FAIL: the saved chunk renders differently"; fail=1; }
  [ "$(tail -c 1 "$work/rig.chunk" | od -An -tx1 | tr -d ' ')" = "00" ] ||
    { echo "FAIL: the saved chunk does not end in its NUL"; fail=1; }
fi
exit $fail
