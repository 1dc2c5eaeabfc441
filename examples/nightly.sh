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
# needs a look. A list goes through two names beside NEWFILES, so that a
# record is announced once, whatever night it arrives and whatever fails:
#
# 1. Take the list: rename NEWFILES to NEWFILES.taken in its own directory.
#    The file processor starts a new list at once; what it writes from now on
#    is for the next run. No list, or an empty one: nothing to do, exit 0.
# 2. Empty REPORT_DIR, so that no report of an earlier night is left to post.
# 3. When movrek32-check is installed (beside movrek32 or on the PATH, or
#    named by MOVREK32_CHECK), check the configuration, the template and the
#    taken list with -s and the main report's name: any error or warning
#    prints what it found and stops the run with its exit code.
# 4. Run movrek32 on the taken list in REPORT_DIR. Any exit code but 0:
#    print its messages, post nothing, exit with that code.
#    After a failed check or run the list stays NEWFILES.taken and is taken
#    again, from the start, on the next run.
# 5. Rename NEWFILES.taken to NEWFILES.posting: its reports are made.
# 6. Post every report in REPORT_DIR with POST, and remove each report as
#    soon as it is posted. A report that cannot be posted stays in REPORT_DIR,
#    and so does NEWFILES.posting: the next run posts what is left before it
#    takes a newer list, and exits with 1 until then.
# 7. Move NEWFILES.posting to DONE_DIR with a date stamp.
#
# A list left over from an earlier run (NEWFILES.posting, then
# NEWFILES.taken) is done first; then the new list is taken.
#
# REPORT_DIR holds nothing but the reports still to be posted: it is emptied
# before each run of movrek32. Name the group reports in movrek.cfg, like
# MAIN_REPORT, without a directory, so that they land there; name headers and
# footers by absolute paths, with HEADER and FOOTER lines for the main report
# and for every group (a group starts with header.txt and footer.txt of the
# current directory, which is REPORT_DIR). Setup problems (POST not set,
# MAIN_REPORT with a directory, a directory that cannot be made, a list that
# cannot be renamed) exit with 2.
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
# line to which the report's path is added as the last argument. With
# crashwrite (Debian package crashmail) each report becomes a packet with one
# echomail message in /var/spool/fido/outpkt, for the tosser to toss from
# there (CrashMail: crashmail TOSSDIR /var/spool/fido/outpkt NOSECURITY):
#   POST='crashwrite DIR /var/spool/fido/outpkt AREA ANNOUNCE FROMADDR 2:5020/1 FROMNAME movrek32 SUBJECT "New files" TEXT'
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
taken=$NEWFILES.taken
posting=$NEWFILES.posting
[ -s "$NEWFILES" ] || [ -e "$taken" ] || [ -e "$posting" ] || exit 0

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
name=$(basename "$NEWFILES")
list=$list_dir/$name
taken=$list.taken
posting=$list.posting
if [ "$list_dir" = "$report_dir" ]; then
  say "the list must not lie in REPORT_DIR, which is emptied at every run"
  exit 2
fi
case $MAIN_REPORT in
  */* | "")
    say "MAIN_REPORT must be a file name without a directory, so that the report lands in REPORT_DIR"
    exit 2 ;;
esac

check=$MOVREK32_CHECK
if [ -z "$check" ]; then
  check=$(dirname "$program")/movrek32-check
  [ -x "$check" ] || check=$(command -v movrek32-check) || check=
fi
[ "$check" = none ] && check=

log=$(mktemp "${TMPDIR:-/tmp}/movrek32-nightly.XXXXXX") || exit 2
trap 'rm -f "$log"' EXIT
stamp=$(date +%Y%m%d-%H%M%S)

# Steps 2 to 5 for the taken list; the exit code of a failed step.
make_reports() {
  for old in "$report_dir"/* "$report_dir"/.[!.]* "$report_dir"/..?*; do
    [ -f "$old" ] || continue
    rm -f "$old" || {
      say "cannot remove the earlier report $old"
      return 2
    }
  done
  if [ -n "$check" ]; then
    (cd "$report_dir" && exec "$check" -s "$taken" "$MAIN_REPORT") >"$log" 2>&1
    status=$?
    if [ $status -ne 0 ]; then
      cat "$log"
      say "movrek32-check found a problem (exit code $status): nothing posted, $taken is taken again on the next run"
      return $status
    fi
  fi
  (cd "$report_dir" && exec "$program" "$taken" "$MAIN_REPORT") >"$log" 2>&1
  status=$?
  if [ $status -ne 0 ]; then
    cat "$log"
    say "movrek32 ended with exit code $status: nothing posted, $taken is taken again on the next run"
    return $status
  fi
  mv "$taken" "$posting" || {
    say "cannot rename $taken to $posting: nothing posted"
    return 2
  }
}

# Steps 6 and 7 for the list whose reports are made.
post_reports() {
  : >"$log"
  failed=
  for report in "$report_dir"/.[!.]* "$report_dir"/..?* "$report_dir"/*; do
    [ -f "$report" ] || continue
    if eval "$POST \"\$report\"" >>"$log" 2>&1; then
      rm -f "$report" || {
        say "$report is posted but cannot be removed: remove it, or it is posted again"
        return 2
      }
    else
      failed="$failed $(basename "$report")"
    fi
  done
  if [ -n "$failed" ]; then
    cat "$log"
    for report in $failed; do
      say "posting $report failed: it stays in $report_dir and is posted on the next run"
    done
    return 1
  fi
  kept=$DONE_DIR/$name.$stamp
  n=1
  while [ -e "$kept" ]; do
    kept=$DONE_DIR/$name.$stamp.$n
    n=$((n + 1))
  done
  mv "$posting" "$kept" || {
    say "cannot move $posting to $DONE_DIR: its reports are posted"
    return 2
  }
}

# A list left over is done before the new one is taken, and the new one is
# taken once a run.
took=
while :; do
  if [ -e "$posting" ]; then
    post_reports || exit $?
  elif [ -e "$taken" ]; then
    make_reports || exit $?
  elif [ -z "$took" ] && [ -s "$list" ]; then
    mv "$list" "$taken" || {
      say "cannot rename $list to $taken"
      exit 2
    }
    took=1
  else
    exit 0
  fi
done
