#!/bin/sh
# Nightly new-file announcements with movrek32.
#
# Copy this script, set the values below, make it executable and run it once
# a night from cron, after the file processor has written its new-files list,
# with a crontab line such as (cron does not continue a line with "\"):
#
#   30 6 * * * /usr/local/bin/movrek32-nightly
#
# It prints nothing when all went well, so cron sends mail only when something
# needs a look. In order:
#
# 1. No list, or an empty one (a night without new files): exit 0.
# 2. Empty REPORT_DIR, so that no report of an earlier night is left to post.
# 3. When movrek32-check is installed (beside movrek32 or on the PATH, or named
#    by MOVREK32_CHECK), check
#    the configuration, the template and the list; on an error print what it
#    found and exit with its exit code.
# 4. Run movrek32 in REPORT_DIR. Any exit code but 0: print its messages, keep
#    the list, post nothing, exit with that code.
# 5. Move the list to DONE_DIR with a date stamp, so that no file is announced
#    twice.
# 6. Post every report that is now in REPORT_DIR with POST. A report that
#    cannot be posted is kept in DONE_DIR, beside the list, and the script
#    exits with 1.
#
# REPORT_DIR holds nothing but reports: it is emptied at every run. Name the
# group reports in movrek.cfg without a directory, so that they land there;
# name headers and footers by absolute paths, with HEADER and FOOTER lines for
# the main report and for every group (a group starts with header.txt and
# footer.txt of the current directory, which is REPORT_DIR). Setup problems
# (POST not set, a directory that cannot be made) exit with 2.
#
# Set the values below here, or in the environment of the script.

# The new-files list that the file processor writes.
NEWFILES=${NEWFILES:-/var/spool/fido/newfiles.lst}
# The directory the reports are written to.
REPORT_DIR=${REPORT_DIR:-/var/spool/fido/announce}
# The name of the main report, which gets the files of every area that no
# group names.
MAIN_REPORT=${MAIN_REPORT:-newfiles.rpt}
# Where announced lists are kept, as NAME.YYYYMMDD-HHMMSS.
DONE_DIR=${DONE_DIR:-/var/spool/fido/announced}
# The command that posts one report to the announcement echo, a shell command
# line to which the report's path is added as the last argument: for example
# the post command of your tosser, with the echo, the subject and the sender.
POST=${POST:-}
# The program, by name or path.
MOVREK32=${MOVREK32:-movrek32}
# The checker, by name or path: when empty, movrek32-check beside movrek32 or
# on the PATH, if there is one; "none" runs no check.
MOVREK32_CHECK=${MOVREK32_CHECK:-}
# The messages in cron's mail: UTF-8 (or cp866, the program's own bytes).
MOVREK32_CONSOLE=${MOVREK32_CONSOLE:-utf-8}
export MOVREK32_CONSOLE

set -u

say() {
  printf 'nightly: %s\n' "$*"
}

if [ -z "$POST" ]; then
  say "set POST to the command that posts a report"
  exit 2
fi
[ -s "$NEWFILES" ] || exit 0

program=$(command -v "$MOVREK32") || {
  say "cannot find $MOVREK32"
  exit 2
}
case $program in
  /*) ;;
  *) program=$(pwd)/$program ;;
esac
mkdir -p "$REPORT_DIR" "$DONE_DIR" || exit 2
report_dir=$(cd "$REPORT_DIR" && pwd -P) || exit 2
list_dir=$(cd "$(dirname "$NEWFILES")" && pwd -P) || exit 2
list=$list_dir/$(basename "$NEWFILES")
if [ "$list_dir" = "$report_dir" ]; then
  say "the list must not lie in REPORT_DIR, which is emptied at every run"
  exit 2
fi

for old in "$report_dir"/*; do
  [ -f "$old" ] || continue
  rm -f "$old" || {
    say "cannot remove the earlier report $old"
    exit 2
  }
done

log=$(mktemp "${TMPDIR:-/tmp}/movrek32-nightly.XXXXXX") || exit 2
trap 'rm -f "$log"' EXIT

check=$MOVREK32_CHECK
if [ -z "$check" ]; then
  check=$(dirname "$program")/movrek32-check
  [ -x "$check" ] || check=$(command -v movrek32-check) || check=
fi
[ "$check" = none ] && check=
if [ -n "$check" ]; then
  (cd "$report_dir" && exec "$check" "$list") >"$log" 2>&1
  status=$?
  if [ $status -ne 0 ]; then
    cat "$log"
    say "movrek32-check found an error (exit code $status): nothing posted, $list kept"
    exit $status
  fi
fi

(cd "$report_dir" && exec "$program" "$list" "$MAIN_REPORT") >"$log" 2>&1
status=$?
if [ $status -ne 0 ]; then
  cat "$log"
  say "movrek32 ended with exit code $status: nothing posted, $list kept"
  exit $status
fi

stamp=$(date +%Y%m%d-%H%M%S)
kept=$DONE_DIR/$(basename "$list").$stamp
n=1
while [ -e "$kept" ]; do
  kept=$DONE_DIR/$(basename "$list").$stamp.$n
  n=$((n + 1))
done
mv "$list" "$kept" || {
  cat "$log"
  say "cannot move $list to $DONE_DIR: nothing posted"
  exit 2
}

failed=
for report in "$report_dir"/*; do
  [ -f "$report" ] || continue
  if ! eval "$POST \"\$report\"" >>"$log" 2>&1; then
    name=$(basename "$report")
    failed="$failed $name"
    mv "$report" "$DONE_DIR/$name.$stamp"
  fi
done
if [ -n "$failed" ]; then
  cat "$log"
  for name in $failed; do
    say "posting $name failed: post $DONE_DIR/$name.$stamp by hand"
  done
  exit 1
fi
exit 0
