#!/usr/bin/env bash
# Smoke run of corvina-perfreport: a few milliseconds of audio, one preset, every
# section; checks the exit codes and that the report is well-formed Markdown
# (every table's rows have its header's column count, every section present,
# no NaN or infinity) and that the convolution table is computed from its input.
# Usage: check_perfreport.sh PERFREPORT
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

"$tool" --frobnicate > /dev/null 2>&1
[ $? -eq 2 ] || { echo "FAIL: unknown option does not exit 2"; fail=1; }
"$tool" --sections rtf,bogus > /dev/null 2>&1
[ $? -eq 2 ] || { echo "FAIL: unknown section does not exit 2"; fail=1; }

# A benchmark output with repetitions: the medians (engine 1 ms, zita 4000 us ->
# 0.25, FIR 20 ms) are the figures, not the single runs nor the means.
cat > "$work/conv.json" <<'JSON'
{"context": {}, "benchmarks": [
 {"name": "BM_Engine/4096/1/manual_time", "run_type": "iteration", "repetitions": 3, "real_time": 2.0, "time_unit": "ms"},
 {"name": "BM_Zita/4096/1/manual_time", "run_type": "iteration", "repetitions": 3, "real_time": 8000.0, "time_unit": "us"},
 {"name": "BM_DirectFir/4096/manual_time", "run_type": "iteration", "repetitions": 3, "real_time": 30.0, "time_unit": "ms"},
 {"name": "BM_Engine/4096/1/manual_time_mean", "run_type": "aggregate", "aggregate_name": "mean", "repetitions": 3, "real_time": 7.0, "time_unit": "ms"},
 {"name": "BM_Engine/4096/1/manual_time_median", "run_type": "aggregate", "aggregate_name": "median", "repetitions": 3, "real_time": 1.0, "time_unit": "ms"},
 {"name": "BM_Zita/4096/1/manual_time_median", "run_type": "aggregate", "aggregate_name": "median", "repetitions": 3, "real_time": 4000.0, "time_unit": "us"},
 {"name": "BM_DirectFir/4096/manual_time_median", "run_type": "aggregate", "aggregate_name": "median", "repetitions": 3, "real_time": 20.0, "time_unit": "ms"}
]}
JSON

"$tool" --preset "Layered OD" --rates 48000 --seconds 0.02 --repeats 1 \
  --silence-seconds 0.02 --silence-cycles 1 --switch-repeats 1 --predecessors 1 \
  --startup-runs 1 --instances 2 --convolution-json "$work/conv.json" \
  --commit test --command smoke --out "$work/report.md" 2> "$work/err.txt"
rc=$?
if [ $rc -ne 0 ]; then
  echo "FAIL: smoke run exited $rc"; cat "$work/err.txt"; exit 1
fi
report=$work/report.md
head -1 "$report" | grep -qx '# Corvina performance report' || { echo "FAIL: no title"; fail=1; }
for h in '## Summary' '## 1\. ' '## 2\. ' '## 3\. ' '## 4\. ' '## 5\. ' '## 6\. ' '## 7\. ' '## 8\. '; do
  grep -q "^$h" "$report" || { echo "FAIL: no section $h"; fail=1; }
done
grep -qiE '\b(nan|inf)\b' "$report" && { echo "FAIL: NaN or infinity in the report"; fail=1; }
grep -q '| 4096 | 1 | 1.0 | 4.0 | 0.25 | 20.0 |' "$report" \
  || { echo "FAIL: convolution row not computed from its input's medians"; fail=1; }
grep -q 'median of 3 runs' "$report" || { echo "FAIL: repetitions not reported"; fail=1; }
grep -q '| Layered OD |' "$report" || { echo "FAIL: no preset row"; fail=1; }
# Each table: a header, a separator row of the same width, rows of that width.
awk '
  function cells(line,   t) { t = line; gsub(/\\\|/, "", t); return gsub(/\|/, "", t) }
  /^\|/ {
    if (!intable) { intable = 1; width = cells($0); row = 0 }
    else if (cells($0) != width) { printf "FAIL: line %d has %d separators, its table %d\n", NR, cells($0), width; bad = 1 }
    if (row == 1 && $0 !~ /^\|( -+:? \|)+$/) { printf "FAIL: line %d is no separator row\n", NR; bad = 1 }
    row++; tables += (row == 1); next
  }
  { intable = 0 }
  END { if (tables < 8) { printf "FAIL: only %d tables\n", tables; bad = 1 } exit bad }
' "$report" || fail=1
[ $fail -eq 0 ] && echo "corvina-perfreport smoke run: ok"
exit $fail
