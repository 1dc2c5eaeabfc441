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
RUNS=${RUNS:-5}
JOBS=${JOBS:-2}

echo "== building (release, benchmark tools) in ${BUILD#"$ROOT"/}"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DMOVREK_BUILD_BENCH=ON \
  -DBUILD_TESTING=OFF >/dev/null || exit 1
cmake --build "$BUILD" -j "$JOBS" --target movrek32 gen_list catalog_bench peak_rss copy_floor \
  >/dev/null || exit 1
PROGRAM=$BUILD/movrek32
GEN_LIST=$BUILD/bench/gen_list
CATALOG_BENCH=$BUILD/bench/catalog_bench
PEAK_RSS=$BUILD/bench/peak_rss
COPY_FLOOR=$BUILD/bench/copy_floor

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

echo "== whole program, $RUNS paired runs each; peak RSS by $RSS_TOOL"
# Each run times, one right after the other on the same list, 'wc -l', a
# copy by 'cat list > file' and the program; the ratios are taken run by run
# and their median shown, so that a slow moment of the machine hits both
# sides of a ratio alike.
ROWS=$WORK/rows
printf '%-12s %8s %8s %7s %7s %8s %7s %7s %7s %7s %6s %8s  %s\n' shape N "list MiB" "wall s" \
  "cpu s" "peak MiB" "wc -l s" "x wc" "cat s" "x cat" "x std" "listed" "" >"$ROWS"
: >"$WORK/walls.all"
for shape in $SHAPES; do
  for n in $SIZES; do
    dir=$CACHE/$shape-$n-seed$SEED
    list=$dir/list.lst
    [ -f "$list" ] || continue
    config=""
    [ -f "$dir/movrek.cfg" ] && config=$dir/movrek.cfg
    prog_dir=$WORK/program
    rm -rf "$prog_dir" "$WORK"/runs
    make_program_dir "$prog_dir" "$config"
    cat "$list" >/dev/null # warm the page cache for all three alike

    for f in walls rss cpu wc cat x_wc x_cat; do : >"$WORK/$f"; done
    note=""
    for ((run = 1; run <= RUNS; run++)); do
      # Every run writes into a new directory. The last run's files are
      # emptied, not deleted: the memory that held them is used again, where
      # a page cache that only grows takes memory the machine has not touched
      # for long (on this VM, filling it cost more than the whole run), while
      # ext4 makes a file slowly where many were deleted a moment ago,
      # passing over their inodes. All go when the shape is done. The
      # write-back of the last run must not fall into this one's timings
      # either.
      reports=$WORK/runs/$run/reports
      mkdir -p "$reports"
      if [ -d "$WORK/runs/$((run - 1))" ]; then
        find "$WORK/runs/$((run - 1))" -type f -exec truncate -s 0 {} +
      fi
      sync
      start=$(now_us)
      wc -l "$list" >/dev/null
      end=$(now_us)
      wc_us=$((end - start))

      start=$(now_us)
      cat "$list" >"$WORK/runs/$run/copy"
      end=$(now_us)
      cat_us=$((end - start))

      start=$(now_us)
      (cd "$reports" && measure_rss "$WORK/rss.one" "$prog_dir/movrek32" "$list" report.txt \
        >"$WORK/console.txt")
      status=$?
      end=$(now_us)
      wall_us=$((end - start))
      [ "$status" -ne 0 ] && note="exit status $status"
      rm -f "$WORK/runs/$run/copy"

      echo "$wall_us" >>"$WORK/walls"
      echo "$wc_us" >>"$WORK/wc"
      echo "$cat_us" >>"$WORK/cat"
      tail -n 1 "$WORK/rss.one" | awk '{ print $1 }' >>"$WORK/rss"
      tail -n 1 "$WORK/rss.one" | awk '{ printf "%d\n", ($2 + $3) * 1e6 }' >>"$WORK/cpu"
      awk -v a="$wall_us" -v b="$wc_us" 'BEGIN { printf "%.4f\n", (b > 0 ? a / b : 0) }' >>"$WORK/x_wc"
      awk -v a="$wall_us" -v b="$cat_us" 'BEGIN { printf "%.4f\n", (b > 0 ? a / b : 0) }' >>"$WORK/x_cat"
    done
    wall=$(median <"$WORK/walls")
    echo "$shape $n $wall" >>"$WORK/walls.all"
    standard_wall=$(awk -v n="$n" '$1 == "standard" && $2 == n { print $3 }' "$WORK/walls.all")
    x_std=$(awk -v a="$wall" -v b="${standard_wall:-0}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    rss_kib=$(sort -n "$WORK/rss" | tail -n 1)
    size=$(wc -c <"$list")
    # Files listed in the reports of the last run, from their area total lines.
    listed=$(cat "$reports"/*.txt 2>/dev/null | LC_ALL=C grep -a '^ Total ' |
      awk '{ s += $(NF - 1) } END { print s + 0 }')
    if [ "$shape" = standard ]; then
      floor_list=$list
      floor_bytes=$(cat "$reports"/*.txt 2>/dev/null | wc -c)
    fi
    printf '%-12s %8s %8.1f %7s %7s %8.1f %7s %7.1f %7s %7.2f %6s %8s  %s\n' "$shape" "$n" \
      "$(awk -v b="$size" 'BEGIN { print b / 1048576 }')" "$(seconds "$wall")" \
      "$(seconds "$(median <"$WORK/cpu")")" "$(awk -v k="$rss_kib" 'BEGIN { print k / 1024 }')" \
      "$(seconds "$(median <"$WORK/wc")")" "$(median <"$WORK/x_wc")" \
      "$(seconds "$(median <"$WORK/cat")")" "$(median <"$WORK/x_cat")" "$x_std" "$listed" \
      "$note" >>"$ROWS"
    if [ -n "$note" ]; then
      echo "   $shape $n: $note; the program said:"
      if command -v iconv >/dev/null; then
        iconv -f CP866 -t UTF-8 "$WORK/console.txt" 2>/dev/null | sed 's/^/     /' | tail -n 5
      else
        sed 's/^/     /' "$WORK/console.txt" | tail -n 5
      fi
    fi
    rm -rf "$prog_dir" "$WORK"/runs
  done
done
echo
cat "$ROWS"
echo "wall s, cpu s (user + system), wc -l s, cat s: medians of $RUNS runs; peak MiB: the largest;"
echo "x wc, x cat: the median of the run-by-run ratios of the program's wall time to that of"
echo "'wc -l list' and of 'cat list > file' timed just before it; x std: wall s over the"
echo "standard shape's of the same N; listed: files in the area totals of the last run's reports."
# How the time grows with the list, per shape.
awk '{ w[$1 " " $2] = $3; s[$1] = 1; n[$2] = 1 }
  END { for (sh in s) { lo = ""; hi = ""
          for (k in n) { if (lo == "" || k + 0 < lo + 0) lo = k; if (hi == "" || k + 0 > hi + 0) hi = k }
          if (lo != hi && w[sh " " lo] > 0 && w[sh " " hi] > 0)
            printf "%-12s %s -> %s records: %.2fx the time\n", sh, lo, hi, w[sh " " hi] / w[sh " " lo] } }' \
  "$WORK/walls.all"

if [ -n "${floor_list:-}" ]; then
  echo
  echo "== what the system alone charges: the last standard list, $RUNS runs"
  "$COPY_FLOOR" "$floor_list" "$floor_bytes" "$WORK" "$RUNS"
  echo "copy: the list read into one reused 64 KiB buffer and written to a file, as cat does;"
  echo "keep1, keep2: the list read into one fresh block of its size, on one and on two threads;"
  echo "write: the $floor_bytes bytes of its reports written from one reused buffer;"
  echo "medians, and the median run-by-run ratios to copy."
fi

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
