#!/usr/bin/env bash
# Runs the nightly recipe (examples/nightly.sh, with /bin/sh) night after night
# in a temporary tree, with the built program, a stand-in for the posting
# command and, in some nights, a stand-in for movrek32-check:
#
#   bash tests/recipe/nightly_test.sh <movrek32> <source directory>
#
# Checks what a sysop depends on: the reports of a good night are posted once
# and the list is moved aside; a night without a list, or with an empty one,
# posts nothing and says nothing; a failed check or run posts nothing, keeps
# the list and tells cron why; a report that cannot be posted is kept.
set -u

program=$1
source_dir=$2
recipe=$source_dir/examples/nightly.sh
examples=$source_dir/examples

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-nightly.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The program with its configuration and template, the texts the reports are
# framed with, the spool directories of the recipe.
mkdir -p "$tmp/prog" "$tmp/texts" "$tmp/spool" "$tmp/bin"
cp "$program" "$tmp/prog/movrek32"
cp "$examples/newfile.rpt" "$tmp/prog/"
cp "$examples/header.txt" "$examples/footer.txt" "$examples/nodelist.hdr" "$tmp/texts/"
cat >"$tmp/prog/movrek.cfg" <<EOF
HEADER $tmp/texts/header.txt
FOOTER $tmp/texts/footer.txt
GROUP NODELIST NODEDIFF
REPORT nodelist.rpt
HEADER $tmp/texts/nodelist.hdr
FOOTER $tmp/texts/footer.txt
ENDGROUP
GROUP FIDOSOFT FIDOUTIL
REPORT fidosoft.rpt
HEADER
FOOTER
ENDGROUP
GROUP NOSUCHAREA
REPORT quiet.rpt
HEADER
FOOTER
ENDGROUP
EOF

# The posting command: copies the report, its last argument, into posted/, and
# fails for a report named in $tmp/refuse.
cat >"$tmp/bin/post" <<EOF
#!/bin/sh
for report; do :; done
name=\$(basename "\$report")
if [ -f "$tmp/refuse" ] && [ "\$(cat "$tmp/refuse")" = "\$name" ]; then
  echo "post: \$name refused"
  exit 1
fi
mkdir -p "$tmp/posted"
cp "\$report" "$tmp/posted/\$name"
EOF
chmod +x "$tmp/bin/post"

# A movrek32-check: notes its arguments, exits with the code in check-exit.
cat >"$tmp/bin/movrek32-check" <<EOF
#!/bin/sh
echo "\$*" >>"$tmp/check-calls"
echo "check: a finding"
exit \$(cat "$tmp/check-exit")
EOF
chmod +x "$tmp/bin/movrek32-check"
echo 0 >"$tmp/check-exit"

# The reports that movrek32 itself writes from the example list.
mkdir "$tmp/expected"
(cd "$tmp/expected" && "$tmp/prog/movrek32" "$examples/newfiles.lst" newfiles.rpt >/dev/null) ||
  fail "the reference run of movrek32"

list=$tmp/spool/newfiles.lst
reports=$tmp/spool/announce
done_dir=$tmp/spool/done

night() {
  # One night: the recipe's exit code in $status, what it printed in $output.
  output=$(cd "$tmp" && NEWFILES=$list REPORT_DIR=$reports DONE_DIR=$done_dir \
    MAIN_REPORT=newfiles.rpt POST="'$tmp/bin/post' --echo ANNOUNCE" \
    MOVREK32=$tmp/prog/movrek32 sh "$recipe" 2>&1)
  status=$?
}
posted() {
  if [ -d "$tmp/posted" ]; then (cd "$tmp/posted" && ls | tr '\n' ' '); fi
}
expect_quiet_success() {
  [ "$status" -eq 0 ] || fail "$1: exit code $status"
  [ -z "$output" ] || fail "$1: printed: $output"
}
expect_nothing_posted() {
  [ -z "$(posted)" ] || fail "$1: posted $(posted)"
}
expect_list_kept() {
  cmp -s "$examples/newfiles.lst" "$list" || fail "$1: the list was not kept"
  [ -z "$(ls -A "$done_dir" 2>/dev/null)" ] || fail "$1: something went to $done_dir"
}

if command -v movrek32-check >/dev/null; then
  echo "note: movrek32-check is installed here; the run without one is left out"
else
  # A good night: the reports with files are posted, each once, byte for byte
  # as movrek32 wrote them; the report of last night is not posted again, nor
  # is it there afterwards; the list goes to done/ with a date stamp.
  mkdir -p "$reports"
  echo "last night's report" >"$reports/quiet.rpt"
  cp "$examples/newfiles.lst" "$list"
  night
  expect_quiet_success "first night"
  [ "$(posted)" = "fidosoft.rpt newfiles.rpt nodelist.rpt " ] || fail "first night: posted $(posted)"
  for report in fidosoft.rpt newfiles.rpt nodelist.rpt; do
    cmp -s "$tmp/expected/$report" "$tmp/posted/$report" || fail "first night: $report differs"
  done
  [ ! -e "$reports/quiet.rpt" ] || fail "first night: last night's report is still there"
  [ ! -e "$list" ] || fail "first night: the list is still there"
  kept=$(ls "$done_dir")
  case $kept in
    newfiles.lst.[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]-[0-9][0-9][0-9][0-9][0-9][0-9]) ;;
    *) fail "first night: done/ holds '$kept'" ;;
  esac
  cmp -s "$examples/newfiles.lst" "$done_dir/$kept" || fail "first night: the kept list differs"
  rm -rf "$tmp/posted" "$done_dir"
fi

# A night without a list, and one with an empty list: nothing at all.
night
expect_quiet_success "no list"
expect_nothing_posted "no list"
: >"$list"
night
expect_quiet_success "empty list"
expect_nothing_posted "empty list"
[ -f "$list" ] && [ ! -s "$list" ] || fail "empty list: the list is gone"
[ -z "$(ls -A "$done_dir" 2>/dev/null)" ] || fail "empty list: something went to $done_dir"

# movrek32 fails (no template): nothing is posted, the list stays, the exit
# code is the program's and its messages are printed for cron to mail.
cp "$examples/newfiles.lst" "$list"
mv "$tmp/prog/newfile.rpt" "$tmp/newfile.rpt"
night
[ "$status" -eq 7 ] || fail "missing template: exit code $status"
case $output in
  *"movrek32 ended with exit code 7"*) ;;
  *) fail "missing template: printed: $output" ;;
esac
[ "$(printf '%s\n' "$output" | wc -l)" -gt 3 ] || fail "missing template: the program's messages are missing"
expect_nothing_posted "missing template"
expect_list_kept "missing template"
mv "$tmp/newfile.rpt" "$tmp/prog/newfile.rpt"

# movrek32-check beside the program finds an error: its findings and exit code
# come out, the program does not run, nothing is posted, the list stays.
cp "$tmp/bin/movrek32-check" "$tmp/prog/"
echo 1 >"$tmp/check-exit"
night
[ "$status" -eq 1 ] || fail "check fails: exit code $status"
case $output in
  *"check: a finding"*"movrek32-check found an error (exit code 1)"*) ;;
  *) fail "check fails: printed: $output" ;;
esac
[ "$(cat "$tmp/check-calls")" = "$list" ] || fail "check fails: called with $(cat "$tmp/check-calls")"
[ -z "$(ls -A "$reports")" ] || fail "check fails: movrek32 ran"
expect_nothing_posted "check fails"
expect_list_kept "check fails"

# The check passes, and posting one report fails: the others are posted, that
# one is kept in done/ beside the list, cron hears of it.
echo 0 >"$tmp/check-exit"
echo nodelist.rpt >"$tmp/refuse"
night
[ "$status" -eq 1 ] || fail "post fails: exit code $status"
case $output in
  *"post: nodelist.rpt refused"*"posting nodelist.rpt failed: post $done_dir/nodelist.rpt."*) ;;
  *) fail "post fails: printed: $output" ;;
esac
[ "$(posted)" = "fidosoft.rpt newfiles.rpt " ] || fail "post fails: posted $(posted)"
cmp -s "$tmp/expected/nodelist.rpt" "$done_dir"/nodelist.rpt.* || fail "post fails: nodelist.rpt not kept"
[ ! -e "$list" ] || fail "post fails: the list was not moved aside"
[ "$(wc -l <"$tmp/check-calls")" -eq 2 ] || fail "post fails: the check did not run"

# Without a posting command nothing happens.
cp "$examples/newfiles.lst" "$list"
output=$(NEWFILES=$list REPORT_DIR=$reports DONE_DIR=$done_dir sh "$recipe" 2>&1)
status=$?
[ "$status" -eq 2 ] || fail "no POST: exit code $status"
cmp -s "$examples/newfiles.lst" "$list" || fail "no POST: the list was not kept"

if [ $failures -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "nightly recipe: all nights as expected"
