#!/usr/bin/env bash
# The whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, the
# threaded tests under ThreadSanitizer, and each fuzz target for a bounded time
# on its checked-in corpus. Run after scripts/test.sh (which installs what is needed).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: whole suite"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVINA_SANITIZE=address,undefined \
  -DCMAKE_CXX_FLAGS="-fno-sanitize-recover=undefined" > /dev/null
cmake --build build-asan -j "$jobs" --target corvina_tests
UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
  ./build-asan/tests/corvina_tests --gtest_brief=1

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: GUI kit, headless and on its own Xvfb"
cmake --build build-asan -j "$jobs" --target corvina_toolkit_tests corvina_toolkit_xvfb_tests
for t in corvina_toolkit_tests corvina_toolkit_xvfb_tests; do
  LSAN_OPTIONS=suppressions=$PWD/tests/toolkit/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    ./build-asan/tests/toolkit/$t --gtest_brief=1
done

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: the editor, headless and in an Xvfb window"
cmake --build build-asan -j "$jobs" --target corvina_editor_tests corvina_editor_xvfb_tests
for t in corvina_editor_tests corvina_editor_xvfb_tests; do
  LSAN_OPTIONS=suppressions=$PWD/tests/toolkit/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    ./build-asan/tests/editor/$t --gtest_brief=1
done

echo "== ThreadSanitizer: mailbox and chain stress tests"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVINA_SANITIZE=thread > /dev/null
cmake --build build-tsan -j "$jobs" --target corvina_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ./build-tsan/tests/corvina_tests --gtest_brief=1 --gtest_filter='Mailbox*:*Stress*:*Threads*'

echo "== Fuzz targets, ${FUZZ_SECONDS:=20}s each"
FUZZ_SECONDS=$FUZZ_SECONDS bash scripts/fuzz.sh
