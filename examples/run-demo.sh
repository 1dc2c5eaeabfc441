#!/usr/bin/env bash
# Runs movrek32 on the bundled sample (`make demo`):
#
#   bash examples/run-demo.sh <path-to-movrek32>
#
# The program and its configuration and record template go to build/demo/prog,
# the new-files list, header and footer to build/demo/work; the program runs in
# build/demo/work, so its reports land there. Every run starts from a clean
# build/demo. The exit status is the program's.

set -u

if [ $# -ne 1 ]; then
  echo "usage: $0 <path-to-movrek32>" >&2
  exit 2
fi
program=$1
if [ ! -f "$program" ]; then
  echo "$0: no program at $program (build it first: make build)" >&2
  exit 2
fi

examples=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$examples/.." && pwd)
demo=$root/build/demo
prog=$demo/prog
work=$demo/work

rm -rf "$demo"
mkdir -p "$prog" "$work"
cp "$program" "$prog/" || exit 2
cp "$examples/movrek.cfg" "$examples/newfile.rpt" "$prog/" || exit 2
cp "$examples/newfiles.lst" "$examples/header.txt" "$examples/footer.txt" \
  "$examples/nodelist.hdr" "$work/" || exit 2

# The program speaks CP866 with CR LF; show its texts as UTF-8 when iconv can.
show() {
  if command -v iconv >/dev/null 2>&1; then
    iconv -f CP866 -t UTF-8 | tr -d '\r'
  else
    cat -v
  fi
}

echo "== movrek32 newfiles.lst newfiles.rpt   (in $work)"
(cd "$work" && "$prog/$(basename "$program")" newfiles.lst newfiles.rpt) >"$demo/console.txt"
status=$?
show <"$demo/console.txt"
echo "== exit code: $status"

echo "== reports written to $work:"
found=0
for report in "$work"/*.rpt; do
  [ -f "$report" ] || continue
  found=1
  printf '   %s (%s bytes)\n' "$(basename "$report")" "$(wc -c <"$report" | tr -d ' ')"
done
[ $found -eq 1 ] || echo "   none"

if [ -f "$work/newfiles.rpt" ]; then
  echo "== newfiles.rpt:"
  show <"$work/newfiles.rpt"
fi
exit $status
