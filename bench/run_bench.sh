#!/usr/bin/env bash
# Builds a release build with the benchmark tools in build/bench, generates
# synthetic new-files lists (cached under bench/cache/), times whole program
# runs on them and then runs the catalog micro-benchmarks. It only measures
# and prints; nothing here passes or fails.
#
# Environment: SHAPES, SIZES, SEED, RUNS, JOBS override the defaults below.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/bench
CACHE=$ROOT/bench/cache
SHAPES=${SHAPES:-"standard one-area many-areas many-groups"}
SIZES=${SIZES:-"250000 1000000"}
SEED=${SEED:-1}
RUNS=${RUNS:-3}
JOBS=${JOBS:-2}

echo "== building (release, benchmark tools) in ${BUILD#"$ROOT"/}"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DMOVREK_BUILD_BENCH=ON \
  -DMOVREK_BUILD_TESTS=OFF >/dev/null || exit 1
cmake --build "$BUILD" -j "$JOBS" --target movrek32 gen_list catalog_bench peak_rss \
  >/dev/null || exit 1
PROGRAM=$BUILD/movrek32
GEN_LIST=$BUILD/bench/gen_list
CATALOG_BENCH=$BUILD/bench/catalog_bench
PEAK_RSS=$BUILD/bench/peak_rss

WORK=$(mktemp -d "${TMPDIR:-/tmp}/movrek-bench.XXXXXX") || exit 1
trap 'rm -rf "$WORK"' EXIT

# Microseconds since the epoch.
now_us() {
  if [ -n "${EPOCHREALTIME:-}" ]; then
    local t=${EPOCHREALTIME/[.,]/}
    echo "$((10#$t))"
  else
    echo $(($(date +%s%N) / 1000))
  fi
}

# Peak RSS (KiB) and user and system seconds, through GNU time when it works
# here, else through our own wrapper; both write "KiB user sys".
if /usr/bin/time -f '%M %U %S' -o "$WORK/probe" true 2>/dev/null; then
  measure_rss() { local out=$1; shift; /usr/bin/time -f '%M %U %S' -o "$out" "$@"; }
  RSS_TOOL="/usr/bin/time -f %M"
else
  measure_rss() { "$PEAK_RSS" "$@"; }
  RSS_TOOL="peak_rss (getrusage RUSAGE_CHILDREN)"
fi

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }

# Generates the list of one shape and size unless the cache holds it from the
# same generator sources and arguments.
GEN_SUM=$(cat "$ROOT/bench/gen_list.cpp" "$ROOT/bench/list_gen.cpp" "$ROOT/bench/list_gen.h" |
  cksum | cut -d' ' -f1)
ensure_list() {
  local shape=$1 n=$2 dir=$CACHE/$1-$2-seed$SEED
  local stamp="$GEN_SUM $shape $n $SEED"
  if [ -f "$dir/list.lst" ] && [ "$(cat "$dir/stamp" 2>/dev/null)" = "$stamp" ]; then
    return 0
  fi
  rm -rf "$dir"
  "$GEN_LIST" --shape "$shape" --records "$n" --seed "$SEED" --out "$dir" || return 1
  echo "$stamp" >"$dir/stamp"
}

echo "== generating lists under ${CACHE#"$ROOT"/} (cached)"
for shape in $SHAPES; do
  for n in $SIZES; do
    ensure_list "$shape" "$n" || echo "   gen_list failed for $shape $n"
  done
done

# A program directory with the record template (fields A E L F S D O).
make_program_dir() {
  local dir=$1 config=$2
  mkdir -p "$dir"
  cp "$PROGRAM" "$dir/"
  printf '@A\r\n@E\r\n@L\r\n@F\r\n@S\r\n@D\r\n@O\r\n' >"$dir/newfile.rpt"
  if [ -n "$config" ]; then cp "$config" "$dir/movrek.cfg"; fi
}

echo "== whole program, $RUNS runs each; peak RSS by $RSS_TOOL"
ROWS=$WORK/rows
printf '%-12s %9s %9s %9s %9s %9s %9s %9s %9s  %s\n' shape N "list MiB" "wall s" "cpu s" \
  "peak MiB" "wc -l s" "x wc -l" "listed" "" >"$ROWS"
for shape in $SHAPES; do
  for n in $SIZES; do
    dir=$CACHE/$shape-$n-seed$SEED
    list=$dir/list.lst
    [ -f "$list" ] || continue
    config=""
    [ -f "$dir/movrek.cfg" ] && config=$dir/movrek.cfg
    prog_dir=$WORK/program
    reports=$WORK/reports
    rm -rf "$prog_dir" "$reports"
    make_program_dir "$prog_dir" "$config"
    mkdir -p "$reports"
    cat "$list" >/dev/null # warm the page cache for both programs alike

    : >"$WORK/walls"
    : >"$WORK/rss"
    : >"$WORK/cpu"
    : >"$WORK/wc"
    note=""
    for ((run = 1; run <= RUNS; run++)); do
      start=$(now_us)
      (cd "$reports" && measure_rss "$WORK/rss.one" "$prog_dir/movrek32" "$list" report.txt \
        >"$WORK/console.txt")
      status=$?
      end=$(now_us)
      echo $((end - start)) >>"$WORK/walls"
      tail -n 1 "$WORK/rss.one" | awk '{ print $1 }' >>"$WORK/rss"
      tail -n 1 "$WORK/rss.one" | awk '{ printf "%d\n", ($2 + $3) * 1e6 }' >>"$WORK/cpu"
      [ "$status" -ne 0 ] && note="exit status $status"

      start=$(now_us)
      wc -l "$list" >/dev/null
      end=$(now_us)
      echo $((end - start)) >>"$WORK/wc"
    done
    wall=$(median <"$WORK/walls")
    cpu=$(median <"$WORK/cpu")
    wc_time=$(median <"$WORK/wc")
    rss_kib=$(sort -n "$WORK/rss" | tail -n 1)
    size=$(wc -c <"$list")
    # Files listed in the reports of the last run, from their area total lines.
    listed=$(cat "$reports"/*.txt 2>/dev/null | LC_ALL=C grep -a '^ Total of ' |
      awk '{ s += $(NF - 1) } END { print s + 0 }')
    printf '%-12s %9s %9.1f %9s %9s %9.1f %9s %9.1f %9s  %s\n' "$shape" "$n" \
      "$(awk -v b="$size" 'BEGIN { print b / 1048576 }')" "$(seconds "$wall")" "$(seconds "$cpu")" \
      "$(awk -v k="$rss_kib" 'BEGIN { print k / 1024 }')" "$(seconds "$wc_time")" \
      "$(awk -v a="$wall" -v b="$wc_time" 'BEGIN { print (b > 0 ? a / b : 0) }')" \
      "$listed" "$note" >>"$ROWS"
    if [ -n "$note" ]; then
      echo "   $shape $n: $note; the program said:"
      if command -v iconv >/dev/null; then
        iconv -f CP866 -t UTF-8 "$WORK/console.txt" 2>/dev/null | sed 's/^/     /' | tail -n 5
      else
        sed 's/^/     /' "$WORK/console.txt" | tail -n 5
      fi
    fi
    rm -rf "$prog_dir" "$reports"
  done
done
echo
cat "$ROWS"
echo "wall s, cpu s (user + system): medians of $RUNS runs; peak MiB: the largest of them;"
echo "x wc -l: wall s over the median of $RUNS runs of 'wc -l' on the same list, in the same loop;"
echo "listed: files counted in the area totals of the last run's reports (N when all arrived)."

echo
echo "== catalog micro-benchmarks"
bench_list=""
for n in $SIZES; do
  candidate=$CACHE/standard-$n-seed$SEED/list.lst
  [ -f "$candidate" ] && bench_list=$candidate
done
if [ -n "$bench_list" ]; then
  "$CATALOG_BENCH" --seed "$SEED" --list "$bench_list"
else
  "$CATALOG_BENCH" --seed "$SEED"
fi
