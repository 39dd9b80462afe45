#!/usr/bin/env bash
# Measures Corvina against its performance targets and writes docs/benchmarks.md:
# configures and builds a Release build of its own (build-release), runs
# corvina-perfreport (real-time factors, oversampling, preset switches, start-up,
# silence) and bench/bench_convolution, and puts it all in one report.
#
#   bash scripts/benchmarks.sh [--quick] [corvina-perfreport options...]
#
# --quick shortens every measurement (for trying the script out); other options
# go to corvina-perfreport (see its --help), e.g. --seconds 10 or --out FILE.
# CORVINA_BENCH_BUILD_DIR chooses the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
begin=$(date +%s)
command="bash scripts/benchmarks.sh${*:+ $*}"

quick=0
pass=()
for a in "$@"; do
  if [ "$a" = "--quick" ]; then quick=1; else pass+=("$a"); fi
done

bash scripts/install-deps.sh
build=${CORVINA_BENCH_BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j "$(nproc)" --target corvina-perfreport corvina-startprobe corvina bench_convolution

commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
if [ "$commit" != unknown ] && ! git diff --quiet HEAD -- 2>/dev/null; then
  commit="$commit (with uncommitted changes)"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The convolution figures first; medians of three runs, since zita-convolver's
# worker threads make its figures jump on a loaded machine.
conv=(--benchmark_min_time=0.3 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
[ $quick -eq 1 ] && conv=(--benchmark_min_time=0.05)
echo "convolution benchmark" >&2
"$build/bench/bench_convolution" "${conv[@]}" \
  --benchmark_out="$work/convolution.json" --benchmark_out_format=json > /dev/null

short=()
if [ $quick -eq 1 ]; then
  short=(--seconds 0.5 --repeats 1 --silence-seconds 0.5 --silence-cycles 1
         --switch-repeats 1 --predecessors 1 --startup-runs 2 --instances 4)
fi
mkdir -p docs
"$build/tools/perfreport/corvina-perfreport" \
  --out docs/benchmarks.md --convolution-json "$work/convolution.json" \
  --commit "$commit" --command "$command" --build-type Release \
  ${short[@]+"${short[@]}"} ${pass[@]+"${pass[@]}"}
echo "wrote docs/benchmarks.md in $(( $(date +%s) - begin )) s" >&2
