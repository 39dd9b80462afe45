#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-in in Release, installs
# corvina.so into the user's LinuxVST folder (~/.vst), renders the bundled demo
# riff through "Layered OD" and says where everything went.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh

build=${CORVINA_BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j "$(nproc)" --target corvina corvina-render corvina_demo_riff

vstdir="$HOME/.vst"
mkdir -p "$vstdir"
install -m 0755 "$build/plugin/entry/corvina.so" "$vstdir/corvina.so"

# The renderer runs a copy of the installed plug-in in a fresh folder with no
# user document: a first run, which plays the factory preset "Layered OD".
demo_in="$root/$build/demo-riff.wav"
demo_out="$root/$build/demo-riff-layered-od.wav"
"$build/tools/render/corvina-render" --plugin "$vstdir/corvina.so" "$demo_in" "$demo_out"

cat <<TEXT

Corvina is installed.
  plug-in:        $vstdir/corvina.so
  demo input:     $demo_in   (synthesized guitar DI, 8 s, 48 kHz)
  demo rendered:  $demo_out   (through "Layered OD", stereo 32-bit float)
  renderer:       $root/$build/tools/render/corvina-render   (--help for its options)

To use it in a host: point the host's LinuxVST (VST 2) search path at $vstdir
(most hosts scan it by default), rescan plug-ins, and insert "Corvina" by Lumbrel
as an effect on a guitar track. It keeps its presets in corvina-save.fxda beside
the plug-in file, written the first time you save a preset.
TEXT
