#!/usr/bin/env bash
# The program's figures side by side in one run: each row runs one of the benchmarks in this
# folder against its baseline and takes the medians of RUNS runs, then one table of times and
# ratios (program / baseline; below 1 the program is quicker) is printed with the machine it
# ran on. Within a row the program and its baseline take turns run by run, so that other work
# on the machine weighs on both alike. Build it Release first; `cmake --build <dir> --target
# bench_all` builds the benchmarks and runs this.
# Usage: tools/bench/bench_all.sh <build dir> [runs=3]
set -euo pipefail
build="$(cd "$1" && pwd)"
runs="${2:-3}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bin="$build/tools/bench"
tmp="$(mktemp -d)"
log="$tmp/log"
# the whole output of every benchmark is kept where BENCH_LOG says, even after a failure
trap '[ -n "${BENCH_LOG:-}" ] && cp "$log" "$BENCH_LOG"; rm -rf "$tmp"' EXIT

for b in bench_records bench_receipts bench_web bench_print bench_xlsx bench_classrecords bench_wages; do
    [ -x "$bin/$b" ] || { echo "missing $bin/$b: cmake --build $build --target bench_all" >&2; exit 1; }
done

median() { sort -g | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
load() { cut -d' ' -f1 /proc/loadavg; }
# a row of the table: what, the program's time, the baseline's time, the baseline, notes
rows="$tmp/rows"
: >"$rows"
# (fields apart by a character that is not white space, so that an empty one stays a field)
sep=$'\x1f'
row() { printf "%s$sep%s$sep%s$sep%s$sep%s$sep%s\n" "$1" "$2" "$3" "$(ratio "$2" "$3")" "$4" "$5" >>"$rows"; }
step() { echo "== $* (load $(load))" | tee -a "$log" >&2; }
loads="$(load)"

# 1. the operation log, 100,000 rows, read into its list's records by a whole process of the
# program's record layer, against the sqlite3 shell running the same SELECT; and the same
# read warm in one process against the bare C API filling structs
step "list of 100,000 records"
# (two runs of it: the CSV report wants the same counters in every row, and only the whole
# processes count their peak memory; the repetitions of the program's read and of the baseline
# are shuffled together)
for filter in 'BM_Read_(RecordLayer|BareC)$' 'BM_Read_.*(Shell|Process)'; do
    "$bin/bench_records" --benchmark_filter="$filter" --benchmark_repetitions="$runs" \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_format=csv >>"$tmp/records.csv" 2>>"$log"
done
cat "$tmp/records.csv" >>"$log"
ms() { awk -F, -v n="\"$1_median\"" '$1 == n { t = $3; u = $5; gsub(/"/, "", u);
    if (u == "us") t /= 1000; else if (u == "ns") t /= 1e6; else if (u == "s") t *= 1000; print t }' "$tmp/records.csv"; }
row "打开 100,000 条记录的列表（整个进程）" "$(ms BM_Read_RecordLayerProcess/real_time)" \
    "$(ms BM_Read_Sqlite3Shell/real_time)" "sqlite3 shell, same SELECT" "ms; operation log, a process per read"
row "打开 100,000 条记录的列表（进程内）" "$(ms BM_Read_RecordLayer)" "$(ms BM_Read_BareC)" \
    "SQLite C API into structs" "ms; warm, same process"
loads="$loads $(load)"

# 2. enrolment receipts issued one transaction each through the module's save path, against
# the same rows written bare
step "save a receipt"
for _ in $(seq "$runs"); do
    "$bin/bench_receipts" issue 1000 >"$tmp/rcp" 2>>"$log"
    cat "$tmp/rcp" >>"$log"
    awk '/module save path:/ {gsub(/[()]/, ""); print $6}' "$tmp/rcp" >>"$tmp/rcp.ours"
    awk '/bare SQLite:/ {gsub(/[()]/, ""); print $5}' "$tmp/rcp" >>"$tmp/rcp.bare"
done
row "保存一张收据（编号、收据、日志）" "$(median <"$tmp/rcp.ours")" "$(median <"$tmp/rcp.bare")" \
    "bare SQLite transaction, same rows" "ms each, 1000 receipts a run"
loads="$loads $(load)"

# 3. a teacher's phone list page of 30 class records over loopback, 1, 16 and 200 keep-alive
# connections, against nginx serving the same bytes: rendered to HTML as a browser asks for it,
# and the XML a script asks for; the table has the time per request (one over the requests per
# second) so that, as in the other rows, a ratio above 1 means the program is slower
step "phone list page"
"$here/bench_web.sh" "$bin/bench_web" "$runs" 10 >"$tmp/web" 2>>"$log"
cat "$tmp/web" >>"$log"
grep -q '^page:' "$tmp/web" || { echo "the phone list page did not run:" >&2; cat "$tmp/web" >&2; exit 1; }
for kind in html xml; do
    what="手机列表页，30 条上课记录（HTML"
    [ "$kind" = xml ] && what="手机列表页，30 条上课记录（XML"
    for c in 1 16 200; do
        [ "$kind" = xml ] && [ "$c" = 200 ] && continue
        read -r ours theirs < <(awk -v k="$kind" -v c="$c" '$1 == k && $2 == c {print $3, $4}' "$tmp/web")
        # time per request in microseconds from requests per second
        row "$what，$c 个连接）" "$(awk -v r="$ours" 'BEGIN {printf "%.1f", 1e6 / r}')" \
            "$(awk -v r="$theirs" 'BEGIN {printf "%.1f", 1e6 / r}')" "nginx, same bytes" \
            "µs per request; $(printf '%.1f' "$ours") vs $(printf '%.0f' "$theirs") req/s"
    done
done
loads="$loads $(load)"

# 4. the enrolment receipt rendered and printed to PDF, against the office suite converting
# the same filled RTF
step "receipt to PDF"
for _ in $(seq "$runs"); do
    QT_QPA_PLATFORM=offscreen "$bin/bench_print" >"$tmp/pdf" 2>>"$log"
    cat "$tmp/pdf" >>"$log"
    awk '/^ours:/ {print $2}' "$tmp/pdf" >>"$tmp/pdf.ours"
    awk '/^office suite:/ {print $3}' "$tmp/pdf" >>"$tmp/pdf.office"
done
row "收据打印为 PDF" "$(median <"$tmp/pdf.ours")" "$(median <"$tmp/pdf.office")" \
    "LibreOffice headless, same RTF" "ms per receipt"
loads="$loads $(load)"

# 5. 100,000 rows of a list exported to xlsx, against bare libxlsxwriter (medians inside)
step "export 100,000 rows"
QT_QPA_PLATFORM=offscreen "$bin/bench_xlsx" 100000 "$runs" >"$tmp/xlsx" 2>>"$log"
cat "$tmp/xlsx" >>"$log"
row "导出 100,000 行到 xlsx" "$(awk '/^list export/ {print $6 * 1000}' "$tmp/xlsx")" \
    "$(awk '/^bare libxlsxwriter/ {print $5 * 1000}' "$tmp/xlsx")" "bare libxlsxwriter" "ms"
loads="$loads $(load)"

# 6. a month of class records and a month of wages, 50 teachers and 500 students (medians
# inside); the class records also against the bare reads of the same statements
step "a month of class records and wages"
"$bin/bench_classrecords" "$runs" >"$tmp/rcd" 2>>"$log"
"$bin/bench_wages" "$runs" >"$tmp/wages" 2>>"$log"
cat "$tmp/rcd" "$tmp/wages" >>"$log"
row "一个月的上课记录（50 位教师、500 名学员）" "$(awk '/through the module/ {print $10 * 1000}' "$tmp/rcd")" \
    "$(awk '/^bare reads/ {print $6 * 1000}' "$tmp/rcd")" "bare reads, same statements" \
    "ms; $(awk '/through the module/ {print $3}' "$tmp/rcd") class records"
row "一个月的工资（50 位教师）" "$(awk '/wage rows/ {print $12 * 1000}' "$tmp/wages")" "" "-" \
    "ms; time only, $(awk '/wage rows/ {print $3, "rows over", $7, "classes"}' "$tmp/wages")"
loads="$loads $(load)"

# the table, then what it ran on
echo
printf '| %s | %s | %s | %s | %s | %s |\n' "Measurement" "Program" "Baseline" "Ratio" "Baseline is" "Unit, notes"
printf '|---|---:|---:|---:|---|---|\n'
while IFS="$sep" read -r what ours theirs r base notes; do
    [ -z "$theirs" ] && r="-" && theirs="-"
    printf '| %s | %s | %s | %s | %s | %s |\n' "$what" "$ours" "$theirs" "$r" "$base" "$notes"
done <"$rows"
echo
echo "Medians of $runs runs. Machine: $(nproc) CPUs, $(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)," \
     "$(awk '/^MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo) RAM, $(. /etc/os-release && echo "$PRETTY_NAME")."
echo "Load average (1 min) at the start and after each row: $loads $(load)."
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')."
