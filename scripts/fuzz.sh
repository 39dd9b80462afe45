#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a
# bounded time (FUZZ_SECONDS, default 30). New inputs go to build-fuzz/corpus/;
# the checked-in seeds in fuzz/corpus/<name>/ are only read.
# Usage: scripts/fuzz.sh [target...]   (default: every fuzz/fuzz_*.cpp)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds=${FUZZ_SECONDS:-30}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVINA_FUZZ=ON > /dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

for target in "${targets[@]}"; do
  seeds="fuzz/corpus/${target#fuzz_}"
  work="$build/corpus/${target#fuzz_}"
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048)
  [ -f "fuzz/${target#fuzz_}.dict" ] && args+=(-dict="fuzz/${target#fuzz_}.dict")
  echo "== $target for ${seconds}s"
  "$build/fuzz/$target" "${args[@]}" "$work" "$seeds"
done
