#!/bin/bash
# Makes the screenshots of docs/editor.md with corvina-snapshot: every picture
# replays the walk from a fresh plug-in folder up to its step.
#   docs/editor-walk.sh BUILD_DIR OUT_DIR
set -e
S=$1/tools/snapshot/corvina-snapshot
OUT=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# An impulse file with a space in its name, and a chooser that answers with it.
python3 - "$WORK/Small Room.wav" <<'PY'
import struct, sys, wave
w = wave.open(sys.argv[1], 'wb'); w.setnchannels(1); w.setsampwidth(2); w.setframerate(48000)
w.writeframes(b''.join(struct.pack('<h', int(20000.0 / (1 + i) * (1 if i % 3 else -1))) for i in range(2048)))
w.close()
PY
printf '#!/bin/sh\necho "%s"\n' "$WORK/Small Room.wav" > "$WORK/chooser"
chmod +x "$WORK/chooser"
export CORVINA_FILE_CHOOSER=$WORK/chooser

A=(--click 244,330 --click 228,422)                           # Preset menu, "Clear"
B=("${A[@]}" --click 164,330)                                 # "Set Amp"
C=("${B[@]}" --click 170,70 --click 11,195 --click 90,61 --click 60,135 --click 90,84 --click 60,248)
D=("${C[@]}" --click 11,90 --click 324,330 --click 326,386)   # "Cab Sim", "Open IR File"
E=("${D[@]}" --click 98,37 --click 386,114 --click 464,194 --type "Late Night")
F=("${E[@]}" --click 404,226 --click 240,172 --click 240,282 --click 312,62 --type "Morning Rig" --click 536,62)
"$S" "${A[@]}" "$OUT/editor-walk-1-cleared.png"
"$S" "${B[@]}" "$OUT/editor-walk-2-set-amp.png"
"$S" "${C[@]}" "$OUT/editor-walk-3-pedals.png"
"$S" "${D[@]}" "$OUT/editor-walk-4-impulse.png"
"$S" "${E[@]}" "$OUT/editor-walk-5-new-category.png"
"$S" "${F[@]}" "$OUT/editor-walk-6-saved.png"
"$S" "${F[@]}" --drag 523,304:240,150 "$OUT/editor-walk-7-moving.png"
"$S" "${F[@]}" --click 523,304 --click 240,150 "$OUT/editor-walk-8-moved.png"
# The block box and a parameter's settings, on the factory rig.
"$S" --box block 3 "$OUT/editor-box-block.png"
"$S" --box param 3 1 "$OUT/editor-box-param.png"
