#!/usr/bin/env bash
# Measures the sound of every factory preset against the sound targets (aliasing,
# levels, distortion order) and writes docs/sound.md with its plot
# docs/sound-aliasing.png: configures and builds a Release build of its own
# (build-release, shared with scripts/benchmarks.sh), then runs corvina-soundreport.
#
#   bash scripts/sound-report.sh [corvina-soundreport options...]
#
# Takes about a minute once built. CORVINA_SOUND_BUILD_DIR chooses the build folder.
# Exits non-zero when a target is missed without a recorded reason.
set -euo pipefail
cd "$(dirname "$0")/.."
command="bash scripts/sound-report.sh${*:+ $*}"

bash scripts/install-deps.sh
build=${CORVINA_SOUND_BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j "$(nproc)" --target corvina-soundreport

commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
if [ "$commit" != unknown ] && ! git diff --quiet HEAD -- 2>/dev/null; then
  commit="$commit (with uncommitted changes)"
fi
mkdir -p docs
"$build/tools/soundreport/corvina-soundreport" --check \
  --out docs/sound.md --plot docs/sound-aliasing.png \
  --commit "$commit" --command "$command" --build Release "$@"
