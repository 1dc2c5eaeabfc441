#!/usr/bin/env bash
# `make bench`: a release build in build/bench, synthetic new-files lists of
# every shape and size (kept in build/bench/cache until the generator or its
# arguments change), and whole runs of movrek32 on each, timed beside
# 'wc -l list' and 'cat list > file'. It only measures and prints.
#
# Environment: SHAPES, SIZES, SEED, RUNS, JOBS override the defaults below.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/bench
CACHE=$BUILD/cache
SHAPES=${SHAPES:-"standard one-area many-areas many-groups nul controls"}
SIZES=${SIZES:-"250000 1000000"}
SEED=${SEED:-1}
RUNS=${RUNS:-5}
JOBS=${JOBS:-2}

echo "== building (release) in ${BUILD#"$ROOT"/}"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DMOVREK_BUILD_BENCH=ON \
  -DBUILD_TESTING=OFF >/dev/null || exit 1
cmake --build "$BUILD" -j "$JOBS" --target movrek32 gen_list >/dev/null || exit 1

WORK=$(mktemp -d "${TMPDIR:-/tmp}/movrek-bench.XXXXXX") || exit 1
trap 'rm -rf "$WORK"' EXIT

# Microseconds since the epoch.
now_us() {
  local t=${EPOCHREALTIME/[.,]/}
  echo "$((10#$t))"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.4f\n", a / b; else print 0 }'; }

# CPU time and peak memory come from GNU time, where there is one.
if /usr/bin/time -f '%M' -o "$WORK/probe" true 2>/dev/null; then
  TIME=(/usr/bin/time -f '%M %U %S' -o "$WORK/time.one")
else
  TIME=()
  echo "== /usr/bin/time is missing (Debian package time): no CPU time or peak memory"
fi

echo "== lists under ${CACHE#"$ROOT"/}"
stamp=$(cksum <"$ROOT/bench/gen_list.cpp")
for shape in $SHAPES; do
  for n in $SIZES; do
    dir=$CACHE/$shape-$n-seed$SEED
    [ "$(cat "$dir/stamp" 2>/dev/null)" = "$stamp" ] && continue
    rm -rf "$dir"
    "$BUILD/bench/gen_list" --shape "$shape" --records "$n" --seed "$SEED" --out "$dir" &&
      echo "$stamp" >"$dir/stamp"
  done
done

echo "== whole runs, $RUNS of each list"
ROWS=$WORK/rows
printf '%-12s %8s %8s %7s %7s %8s %7s %7s %7s %7s %6s %8s  %s\n' shape N "list MiB" "wall s" \
  "cpu s" "peak MiB" "wc -l s" "x wc" "cat s" "x cat" "x std" "listed" "" >"$ROWS"
: >"$WORK/walls.all"
for shape in $SHAPES; do
  for n in $SIZES; do
    dir=$CACHE/$shape-$n-seed$SEED
    list=$dir/list.lst
    [ -f "$dir/stamp" ] || continue
    # The program's directory, with the record template A E L F S D O.
    program=$WORK/program
    rm -rf "$program" "$WORK/runs"
    mkdir -p "$program"
    cp "$BUILD/movrek32" "$program/"
    printf '@A\r\n@E\r\n@L\r\n@F\r\n@S\r\n@D\r\n@O\r\n' >"$program/newfile.rpt"
    [ -f "$dir/movrek.cfg" ] && cp "$dir/movrek.cfg" "$program/"
    cat "$list" >/dev/null # into the page cache, for all three alike

    for f in wall mem cpu wc cat x_wc x_cat; do : >"$WORK/$f"; done
    note=""
    for ((run = 1; run <= RUNS; run++)); do
      # Each run writes into a directory of its own; the last run's files
      # are emptied, not deleted: the page cache takes back their memory,
      # where one that only grows costs this VM more than the run, and ext4
      # creates files slowly just after many were deleted. Their write-back
      # must not fall into this run either.
      reports=$WORK/runs/$run
      mkdir -p "$reports"
      [ "$run" -gt 1 ] && find "$WORK/runs/$((run - 1))" -type f -exec truncate -s 0 {} +
      sync
      # wc, cat and the program one right after the other, so that a slow
      # moment of the machine falls on both sides of a ratio alike.
      start=$(now_us)
      wc -l "$list" >/dev/null
      wc_us=$(($(now_us) - start))
      start=$(now_us)
      cat "$list" >"$WORK/copy"
      cat_us=$(($(now_us) - start))
      start=$(now_us)
      (cd "$reports" && "${TIME[@]}" "$program/movrek32" "$list" report.txt >"$WORK/console")
      status=$?
      wall_us=$(($(now_us) - start))
      [ "$status" -ne 0 ] && note="exit status $status"
      rm -f "$WORK/copy"

      echo "$wall_us" >>"$WORK/wall"
      echo "$wc_us" >>"$WORK/wc"
      echo "$cat_us" >>"$WORK/cat"
      ratio "$wall_us" "$wc_us" >>"$WORK/x_wc"
      ratio "$wall_us" "$cat_us" >>"$WORK/x_cat"
      if [ ${#TIME[@]} -gt 0 ]; then
        set -- $(tail -n 1 "$WORK/time.one") # peak KiB, user s, system s
        echo "$1" >>"$WORK/mem"
        awk -v u="$2" -v s="$3" 'BEGIN { printf "%d\n", (u + s) * 1e6 }' >>"$WORK/cpu"
      fi
    done
    wall=$(median <"$WORK/wall")
    size=$(wc -c <"$list")
    echo "$shape $n $wall $size" >>"$WORK/walls.all"
    # Time per byte against the standard list's of the same N.
    x_std=$(awk -v n="$n" -v w="$wall" -v b="$size" '$1 == "standard" && $2 == n && $3 > 0 {
      printf "%.2f", (w / b) / ($3 / $4); found = 1 } END { if (!found) print "-" }' \
      "$WORK/walls.all")
    cpu=-
    mem=-
    if [ -s "$WORK/cpu" ]; then
      cpu=$(seconds "$(median <"$WORK/cpu")")
      mem=$(sort -n "$WORK/mem" | awk 'END { printf "%.1f", $1 / 1024 }')
    fi
    # Files listed in the last run's reports, from their area total lines.
    listed=$(cat "$reports"/*.txt 2>/dev/null | LC_ALL=C grep -a '^ Total ' |
      awk '{ s += $(NF - 1) } END { print s + 0 }')
    printf '%-12s %8s %8.1f %7s %7s %8s %7s %7.1f %7s %7.2f %6s %8s  %s\n' "$shape" "$n" \
      "$(awk -v b="$size" 'BEGIN { print b / 1048576 }')" "$(seconds "$wall")" "$cpu" "$mem" \
      "$(seconds "$(median <"$WORK/wc")")" "$(median <"$WORK/x_wc")" \
      "$(seconds "$(median <"$WORK/cat")")" "$(median <"$WORK/x_cat")" "$x_std" "$listed" \
      "$note" >>"$ROWS"
    if [ -n "$note" ]; then
      echo "   $shape $n: $note; the program said:"
      iconv -f CP866 -t UTF-8 "$WORK/console" 2>/dev/null | tail -n 5 | sed 's/^/     /'
    fi
    rm -rf "$program" "$WORK/runs"
  done
done
echo
cat "$ROWS"
echo "wall s, cpu s (user + system), wc -l s, cat s: medians of $RUNS runs; peak MiB: the largest;"
echo "x wc, x cat: the median of the run-by-run ratios of the program's wall time to that of"
echo "'wc -l list' and of 'cat list > file' timed just before it; x std: the wall time per byte"
echo "over the standard list's of the same N; listed: files in the last run's area totals."
# How the time grows with the list, per shape.
awk '{ w[$1 " " $2] = $3; if (!($1 in s)) s[$1] = ++shapes; n[$2] = 1; order[shapes] = $1 }
  END { for (i = 1; i <= shapes; i++) { sh = order[i]; lo = ""; hi = ""
          for (k in n) { if (lo == "" || k + 0 < lo + 0) lo = k; if (hi == "" || k + 0 > hi + 0) hi = k }
          if (lo != hi && w[sh " " lo] > 0 && w[sh " " hi] > 0)
            printf "%-12s %s -> %s records: %.2fx the time\n", sh, lo, hi, w[sh " " hi] / w[sh " " lo] } }' \
  "$WORK/walls.all"
