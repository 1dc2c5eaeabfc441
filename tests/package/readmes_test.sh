#!/usr/bin/env bash
# The READMEs installed with the packages, as cmake/user-readme.cmake makes
# them from README.md:
#
#   bash tests/package/readmes_test.sh <source directory>
#
# The Debian one has no Windows part; the Windows one, README.txt in the zip,
# is UTF-8 with a byte-order mark and CR LF line ends (Notepad reads it), with
# the batch recipe and Task Scheduler and nothing of Debian, cron or man.
# Neither tells how to build or keeps a marker.
set -u
export LC_ALL=C
source_dir=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-readmes.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $readme: $*"; failures=$((failures + 1)); }

for readme in debian windows; do
  cmake -DIN="$source_dir/README.md" -DOUT="$tmp/$readme" -DFOR=$readme \
    -P "$source_dir/cmake/user-readme.cmake" || fail "not made"
done
# has <file> <what> <extended regexp>: the file holds a line that matches.
has() { grep -Eq -- "$3" "$tmp/$1" || { readme=$1 fail "lacks $2"; }; }
hasnt() { ! grep -Eq -- "$3" "$tmp/$1" || { readme=$1 fail "has $2: $(grep -Em 3 -- "$3" "$tmp/$1")"; }; }

for readme in debian windows; do
  has $readme "the nightly recipe" '^## Running it every night'
  has $readme "the exit codes" '^## Exit codes and messages'
  hasnt $readme "building" 'make check|apt-get install cmake|^## For developers'
  hasnt $readme "a marker" '<!--'
done
has debian "the crontab line" '^    30 6 \* \* \* /usr/local/bin/movrek32-nightly$'
has debian "crashwrite" "^    POST='crashwrite DIR "
hasnt debian "Windows paths" 'schtasks|C:\\'
has windows "the batch recipe" 'nightly\.bat'
has windows "Task Scheduler" '^    schtasks /create '
has windows "its log" 'NIGHTLY_LOG'
hasnt windows "Debian" 'Debian|dpkg|apt-get|/usr/|/etc/|man movrek32|chmod|crontab|iconv|cron mails'

readme=windows
[ "$(head -c 3 "$tmp/windows" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "no byte-order mark"
[ "$(tr -d '\r' <"$tmp/windows" | wc -l)" = "$(grep -c $'\r$' "$tmp/windows")" ] ||
  fail "a line without CR LF"
iconv -f UTF-8 -t UTF-8 "$tmp/windows" >/dev/null 2>&1 || fail "not UTF-8"
readme=debian
grep -q $'\r' "$tmp/debian" && fail "CR in it"
[ "$(head -c 3 "$tmp/debian" | od -An -tx1 | tr -d ' ')" = efbbbf ] && fail "a byte-order mark"

[ $failures -eq 0 ] && echo "READMEs: as expected"
exit $((failures != 0))
