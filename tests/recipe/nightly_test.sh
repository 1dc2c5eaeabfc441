#!/usr/bin/env bash
# The nightly recipe (examples/nightly.sh, run by /bin/sh) night after night
# with the built program and a stand-in posting command:
#
#   bash tests/recipe/nightly_test.sh <movrek32> <source directory>
#
# A good night posts each report once, as movrek32 wrote it, and moves the
# list aside; a night without a list or with an empty one posts nothing and
# says nothing; a failed check or run posts nothing, keeps the list and tells
# cron why.
set -u
program=$1 examples=$2/examples
tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-nightly.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $night: $*"; failures=$((failures + 1)); }

mkdir -p "$tmp/prog" "$tmp/spool" "$tmp/posted"
cp "$program" "$tmp/prog/movrek32"
cp "$examples/newfile.rpt" "$examples/header.txt" "$examples/footer.txt" "$examples/nodelist.hdr" "$tmp/prog/"
cat >"$tmp/prog/movrek.cfg" <<EOF
HEADER $tmp/prog/header.txt
FOOTER $tmp/prog/footer.txt
GROUP NODELIST NODEDIFF
REPORT nodelist.rpt
HEADER $tmp/prog/nodelist.hdr
ENDGROUP
EOF
# Posts its last argument into posted/; a check that finds an error.
printf '#!/bin/sh\nfor r; do :; done; cp "$r" %q\n' "$tmp/posted/" >"$tmp/post"
printf '#!/bin/sh\necho "check: a finding in $1"; exit 1\n' >"$tmp/check"
chmod +x "$tmp/post" "$tmp/check"
list=$tmp/spool/newfiles.lst done_dir=$tmp/spool/done
(mkdir "$tmp/expected" && cd "$tmp/expected" && "$tmp/prog/movrek32" "$examples/newfiles.lst" newfiles.rpt >/dev/null)

run_night() {  # run_night <name> [VAR=value ...]: the exit code in $status, the output in $output
  night=$1
  shift
  output=$(cd "$tmp" && env NEWFILES="$list" REPORT_DIR="$tmp/spool/reports" DONE_DIR="$done_dir" \
    MAIN_REPORT=newfiles.rpt POST="'$tmp/post' --echo ANNOUNCE" MOVREK32="$tmp/prog/movrek32" \
    MOVREK32_CHECK=none "$@" sh "$examples/nightly.sh" 2>&1)
  status=$?
}
expect() {  # expect <exit code> <output pattern> <posted reports> <kept lists>
  [ "$status" = "$1" ] || fail "exit code $status"
  case $output in $2) ;; *) fail "printed: $output" ;; esac
  [ "$(ls "$tmp/posted" | tr '\n' ' ')" = "$3" ] || fail "posted $(ls "$tmp/posted")"
  [ "$(ls "$done_dir" 2>/dev/null | wc -l)" = "$4" ] || fail "kept $(ls "$done_dir")"
}

# A good night: last night's report is not posted again.
mkdir -p "$tmp/spool/reports"
echo "last night's" >"$tmp/spool/reports/old.rpt"
cp "$examples/newfiles.lst" "$list"
run_night "a good night"
expect 0 "" "newfiles.rpt nodelist.rpt " 1
for report in newfiles.rpt nodelist.rpt; do
  cmp -s "$tmp/expected/$report" "$tmp/posted/$report" || fail "$report differs"
done
cmp -s "$examples/newfiles.lst" "$done_dir"/newfiles.lst.[0-9]*-[0-9]* || fail "the list was not kept"
[ ! -e "$list" ] && [ ! -e "$tmp/spool/reports/old.rpt" ] || fail "the list or last night's report is left"
rm -rf "$tmp/posted"/* "$done_dir"

run_night "no list"
expect 0 "" "" 0
: >"$list"
run_night "an empty list"
expect 0 "" "" 0

cp "$examples/newfiles.lst" "$list"
run_night "a check that finds an error" MOVREK32_CHECK="$tmp/check"
expect 1 "check: a finding in $list*movrek32-check found an error*" "" 0
mv "$tmp/prog/newfile.rpt" "$tmp/newfile.rpt"
run_night "no template"
expect 7 "*newfile.rpt*movrek32 ended with exit code 7*" "" 0
cmp -s "$examples/newfiles.lst" "$list" || fail "the list was not kept"

[ $failures -eq 0 ] && echo "nightly recipe: every night as expected"
exit $((failures != 0))
