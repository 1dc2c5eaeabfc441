#!/usr/bin/env bash
# The nightly recipe night after night with the built program:
# examples/nightly.sh (run by /bin/sh) with movrek32, or examples/nightly.bat
# (run by wine's cmd) with movrek32.exe.
#
#   bash tests/recipe/nightly_test.sh <movrek32> <source directory>
#   bash tests/recipe/nightly_test.sh <movrek32.exe> <source directory> [wine]
#
# Stand-ins for the file processor append two records (one for the main
# report, one for a group's) to the list at every step of a night: before the
# check, before and after movrek32, before and after each posting. Nights
# fail in between: the check, movrek32, the posting of one report, of all.
# Over the nights every record is posted exactly once, in the order the
# records came; every list is archived once, after its reports were posted.
# Nights without a list or with an empty one post nothing and say nothing.
#
# Reports are posted through crashwrite (Debian package crashmail) when it is
# installed, for nightly.sh: the packets are read back and must hold each
# report, line for line, as an echomail message of the area. Otherwise, and
# for the failures, a stand-in poster copies the reports.
set -u
export LC_ALL=C
unset NEWFILES REPORT_DIR MAIN_REPORT DONE_DIR POST MOVREK32 MOVREK32_CHECK MOVREK32_CONSOLE NIGHTLY_LOG FAIL APPEND
program=$1
examples=$(cd "$2/examples" && pwd) || exit 1
recipe=sh
case $program in *.exe) recipe=bat ;; esac
exe=${program##*/movrek32}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-nightly.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
night="setting up"
fail() { echo "FAIL ($recipe): $night: $*"; failures=$((failures + 1)); }

# Paths as the recipe gets them: wine maps Z: to the root.
path() { if [ $recipe = bat ]; then printf 'Z:%s' "${1//\//\\}"; else printf '%s' "$1"; fi; }

mkdir -p "$tmp/prog" "$tmp/bin" "$tmp/spool" "$tmp/outbound" "$tmp/posted" "$tmp/expected"
cp "$program" "$(dirname "$program")/movrek32-check$exe" "$tmp/prog/" || exit 1
cp "$examples/newfile.rpt" "$examples/header.txt" "$examples/footer.txt" "$examples/nodelist.hdr" "$tmp/prog/"
cat >"$tmp/prog/movrek.cfg" <<EOF
HEADER $(path "$tmp/prog/header.txt")
FOOTER $(path "$tmp/prog/footer.txt")
GROUP NODELIST NODEDIFF
REPORT nodelist.rpt
HEADER $(path "$tmp/prog/nodelist.hdr")
ENDGROUP
EOF
list=$tmp/spool/newfiles.lst
echo 0 >"$tmp/count"
echo 0 >"$tmp/seq"

# The stand-ins. append adds records N of area UTILS (main report) and of
# area NODELIST (nodelist.rpt), N counting in $T/count, unless APPEND=no.
# FAIL=check, run, post or "post NAME" makes that step fail.
if [ $recipe = sh ]; then
  cat >"$tmp/bin/append.sh" <<'EOF'
append() {
  [ "${APPEND:-}" = no ] && return
  n=$(($(cat "$T/count") + 1))
  echo $n >"$T/count"
  printf 'UTILS\r\nUtilities\r\n2:5020/1\r\nU%04d.ZIP\r\n100\r\nFile %d\r\nHUB\r\n' $n $n >>"$NEWFILES"
  printf 'NODELIST\r\nNodelists\r\n2:5020/0\r\nN%04d.ZIP\r\n200\r\nNodelist %d\r\nHUB\r\n' $n $n >>"$NEWFILES"
}
EOF
  cat >"$tmp/bin/check" <<'EOF'
#!/bin/sh
. "$T/bin/append.sh"
append
echo "$@" >"$T/check.args"
[ "${FAIL:-}" = check ] && { echo "check: a finding in $2"; exit 1; }
exec "$T/prog/movrek32-check" "$@"
EOF
  cat >"$tmp/bin/movrek32" <<'EOF'
#!/bin/sh
. "$T/bin/append.sh"
append
"$T/prog/movrek32" "$@"
status=$?
append
[ "${FAIL:-}" = run ] && exit 5
exit $status
EOF
  # post <poster ...> <report>: the poster writes into $T/outbound; what it
  # wrote goes to posted/SEQ-NAME.out, the report it was given beside it.
  cat >"$tmp/bin/post" <<'EOF'
#!/bin/sh
. "$T/bin/append.sh"
append
for report; do :; done
name=$(basename "$report")
case ${FAIL:-} in post | "post $name")
  append
  echo "post: cannot post $name"
  exit 1 ;;
esac
seq=$(($(cat "$T/seq") + 1))
echo $seq >"$T/seq"
id=$T/posted/$(printf %03d $seq)-$name
cp "$report" "$id.report"
"$@" || exit
mv "$T"/outbound/* "$id.out"
append
EOF
  printf '#!/bin/sh\ncp "$2" "$1/"\n' >"$tmp/bin/copy"
  chmod +x "$tmp/bin/"*
  poster="'$tmp/bin/copy' '$tmp/outbound'"
  if command -v crashwrite >/dev/null; then
    poster="crashwrite DIR '$tmp/outbound' AREA ANNOUNCE FROMADDR 2:5020/1 FROMNAME movrek32"
    poster="$poster SUBJECT 'New files' TEXT"
  fi
  post="'$tmp/bin/post' $poster"
  wrappers=(MOVREK32="$tmp/bin/movrek32" MOVREK32_CHECK="$tmp/bin/check")
  runner=()
  powershell=()
else
  crlf() { sed -e 's/$/\r/' >"$1"; }
  crlf "$tmp/bin/append.bat" <<'EOF'
@echo off
setlocal
if /i "%APPEND%" == "no" exit /b 0
set /p N=<"%T%\count"
set /a N+=1
>"%T%\count" echo %N%
set /a P=10000+N
set "P=%P:~1%"
>>"%NEWFILES%" echo UTILS
>>"%NEWFILES%" echo Utilities
>>"%NEWFILES%" echo 2:5020/1
>>"%NEWFILES%" echo U%P%.ZIP
>>"%NEWFILES%" echo 100
>>"%NEWFILES%" echo File %N%
>>"%NEWFILES%" echo HUB
>>"%NEWFILES%" echo NODELIST
>>"%NEWFILES%" echo Nodelists
>>"%NEWFILES%" echo 2:5020/0
>>"%NEWFILES%" echo N%P%.ZIP
>>"%NEWFILES%" echo 200
>>"%NEWFILES%" echo Nodelist %N%
>>"%NEWFILES%" echo HUB
exit /b 0
EOF
  crlf "$tmp/bin/check.bat" <<'EOF'
@echo off
setlocal
call "%T%\bin\append.bat"
>"%T%\check.args" echo %*
if "%FAIL%" == "check" goto :fail
"%T%\prog\movrek32-check.exe" %*
exit /b %ERRORLEVEL%
:fail
echo check: a finding in %2
exit /b 1
EOF
  crlf "$tmp/bin/movrek32.bat" <<'EOF'
@echo off
setlocal
call "%T%\bin\append.bat"
"%T%\prog\movrek32.exe" %*
set "STATUS=%ERRORLEVEL%"
call "%T%\bin\append.bat"
if "%FAIL%" == "run" exit /b 5
exit /b %STATUS%
EOF
  crlf "$tmp/bin/post.bat" <<'EOF'
@echo off
setlocal
call "%T%\bin\append.bat"
if "%FAIL%" == "post" goto :fail
if "%FAIL%" == "post %~nx1" goto :fail
set /p SEQ=<"%T%\seq"
set /a SEQ+=1
>"%T%\seq" echo %SEQ%
set /a ID=1000+SEQ
set "ID=%T%\posted\%ID:~1%-%~nx1"
copy /b "%~1" "%ID%.report" >nul
copy /b "%~1" "%ID%.out" >nul
call "%T%\bin\append.bat"
exit /b 0
:fail
call "%T%\bin\append.bat"
echo post: cannot post %~nx1
exit /b 1
EOF
  # Shadows of PowerShell: one tells a fixed time, the other nothing; and
  # of wmic, which tells nothing.
  mkdir -p "$tmp/powershell" "$tmp/no-date"
  echo '@echo 20300102-030405' | crlf "$tmp/powershell/powershell.bat"
  echo '@exit /b 0' | crlf "$tmp/no-date/powershell.bat"
  echo '@exit /b 0' | crlf "$tmp/no-date/wmic.bat"
  post="\"$(path "$tmp/bin/post.bat")\""
  wrappers=(MOVREK32="$(path "$tmp/bin/movrek32.bat")" MOVREK32_CHECK="$(path "$tmp/bin/check.bat")")
  runner=("${3:-wine}")
  powershell=(WINEPATH="$(path "$tmp/powershell")")
fi

# What movrek32 itself makes of the example list.
cp "$examples/newfiles.lst" "$tmp/expected/"
(cd "$tmp/expected" && "${runner[@]}" "$tmp/prog/movrek32$exe" newfiles.lst newfiles.rpt >/dev/null 2>&1)
[ -f "$tmp/expected/newfiles.rpt" ] && [ -f "$tmp/expected/nodelist.rpt" ] || fail "movrek32 wrote no reports"

log=$tmp/spool/movrek32-nightly.log
run_night() {  # run_night <name> [VAR=value ...]: the exit code in $status, the output in $output
  night=$1
  shift
  ls "$tmp/posted" >"$tmp/posted.before"
  # The night's values over the common ones; an empty one is unset.
  local -A values
  local pair name vars=()
  for pair in T="$(path "$tmp")" NEWFILES="$(path "$list")" REPORT_DIR="$(path "$tmp/spool/reports")" \
    DONE_DIR="$(path "$tmp/spool/done")" MAIN_REPORT=newfiles.rpt POST="$post" "${wrappers[@]}" "$@"; do
    values[${pair%%=*}]=${pair#*=}
  done
  for name in "${!values[@]}"; do
    if [ -n "${values[$name]}" ]; then vars+=("$name=${values[$name]}"); else vars=(-u "$name" "${vars[@]}"); fi
  done
  if [ $recipe = sh ]; then
    output=$(cd "$tmp" && env "${vars[@]}" sh "$examples/nightly.sh" 2>&1)
    status=$?
  else
    local logged=0
    [ -f "$log" ] && logged=$(wc -c <"$log")
    output=$(cd "$tmp" && env "${vars[@]}" "${runner[@]}" cmd /c "$(path "$examples/nightly.bat")" 2>&1)
    status=$?
    output=$(tr -d '\r' <<<"$output")
    if [ -f "$log" ]; then output+=$(tail -c +$((logged + 1)) "$log" | tr -d '\r'); fi
  fi
}
# expect <exit code> <output pattern> <reports posted tonight> <files left in the spool>
expect() {
  [ "$status" = "$1" ] || fail "exit code $status"
  case $output in $2) ;; *) fail "printed: $output" ;; esac
  local posted
  posted=$(ls "$tmp/posted" | comm -13 "$tmp/posted.before" - | sed -n 's/^[0-9]*-\(.*\)\.out$/\1/p' | tr '\n' ' ')
  [ "$posted" = "$3" ] || fail "posted: $posted"
  local left
  left=$(cd "$tmp/spool" && find . -type f ! -path './done/*' ! -name "${log##*/}" | sort | tr '\n' ' ')
  [ "$left" = "$4" ] || fail "left: $left"
}

# A good night: the list is taken, checked with -s and the main report's name,
# its reports posted as movrek32 wrote them, and archived; what came meanwhile
# waits for the next night, and a report of last night is not posted again.
mkdir -p "$tmp/spool/reports"
echo "last night's" >"$tmp/spool/reports/old.rpt"
cp "$examples/newfiles.lst" "$list"
run_night "a good night" "${powershell[@]}"
expect 0 "" "newfiles.rpt nodelist.rpt " "./newfiles.lst "
for report in newfiles.rpt nodelist.rpt; do
  cmp -s "$tmp/expected/$report" "$tmp/posted/"*"-$report.report" || fail "$report differs"
done
args="-s $(path "$list").taken newfiles.rpt"
[ $recipe = bat ] && args="-s \"$(path "$list").taken\" \"newfiles.rpt\""
[ "$(tr -d '\r' <"$tmp/check.args" | sed -e "s/ *$//")" = "$args" ] || fail "checked with $(cat "$tmp/check.args")"
stamp='[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]-[0-9][0-9][0-9][0-9][0-9][0-9]'
[ $recipe = bat ] && stamp=20300102-030405
cmp -s "$examples/newfiles.lst" "$tmp/spool/done/"newfiles.lst.$stamp || fail "archived: $(ls "$tmp/spool/done")"

run_night "the check fails" FAIL=check
expect 1 "*check: a finding in*newfiles.lst.taken*movrek32-check found a problem (exit code 1)*" \
  "" "./newfiles.lst ./newfiles.lst.taken "
run_night "a main report that a group writes too" MAIN_REPORT=nodelist.rpt
expect 1 "*nodelist.rpt*movrek32-check found a problem (exit code 1)*" \
  "" "./newfiles.lst ./newfiles.lst.taken "
run_night "movrek32 fails after writing its reports" FAIL=run
expect 5 "*movrek32 ended with exit code 5*" \
  "" "./newfiles.lst ./newfiles.lst.taken ./reports/newfiles.rpt ./reports/nodelist.rpt "
mv "$tmp/prog/newfile.rpt" "$tmp/newfile.rpt"
run_night "no template, no check" MOVREK32_CHECK=none
expect 7 "*newfile.rpt*movrek32 ended with exit code 7*" "" "./newfiles.lst ./newfiles.lst.taken "
mv "$tmp/newfile.rpt" "$tmp/prog/newfile.rpt"
run_night "a report cannot be posted" FAIL="post nodelist.rpt"
expect 1 "*cannot post nodelist.rpt*posting nodelist.rpt failed*" \
  "newfiles.rpt " "./newfiles.lst ./newfiles.lst.posting ./reports/nodelist.rpt "
run_night "no report can be posted" FAIL=post
expect 1 "*posting nodelist.rpt failed*" "" "./newfiles.lst ./newfiles.lst.posting ./reports/nodelist.rpt "
run_night "the report left over, then the new list"
expect 0 "" "nodelist.rpt newfiles.rpt nodelist.rpt " "./newfiles.lst "
run_night "the file processor is quiet" APPEND=no
expect 0 "" "newfiles.rpt nodelist.rpt " ""
run_night "no list" APPEND=no
expect 0 "" "" ""
: >"$list"
run_night "an empty list"
expect 0 "" "" "./newfiles.lst "
run_night "no poster" POST=
expect 2 "*set POST*" "" "./newfiles.lst "
cp "$examples/newfiles.lst" "$list"
run_night "a main report in another directory" MAIN_REPORT="$(path sub/newfiles.rpt)"
expect 2 "*MAIN_REPORT must be a file name without a directory*" "" "./newfiles.lst "
run_night "a main report whose name starts with a dot" MAIN_REPORT=.newfiles.rpt APPEND=no
expect 0 "" ".newfiles.rpt nodelist.rpt " ""
cmp -s "$tmp/expected/newfiles.rpt" "$tmp/posted/"*"-.newfiles.rpt.report" || fail ".newfiles.rpt differs"
if [ $recipe = bat ]; then
  echo "a list" >"$list"
  run_night "neither PowerShell nor wmic tells the date" WINEPATH="$(path "$tmp/no-date")"
  expect 2 "*cannot read the date and time*" "" "./newfiles.lst "
  rm "$list"
fi

# Every record posted exactly once, in order: what the poster posted of each
# report, night after night, names the records of its area in rising order
# and all of them.
night="over the nights"
for out in "$tmp/posted/"*.out; do
  [ -f "$out" ] || continue
  text=${out%.out}.text
  if [ $recipe = sh ] && command -v crashwrite >/dev/null; then
    python3 "$(dirname "$0")/packet.py" "$out" ANNOUNCE "${out%.out}.report" >"$text" ||
      fail "$(basename "$out"): the packet does not hold the report"
  else
    cp "$out" "$text"
  fi
done
count=$(tr -d '\r' <"$tmp/count")
# Two records at each step that was reached: the check, movrek32 before and
# after, each posting before and after.
[ "$count" = 32 ] || fail "$count records appended, not 32"
for area in U:newfiles.rpt N:nodelist.rpt; do
  names=$(cat "$tmp/posted/"*"-${area#*:}.text" | tr -d '\r' | grep -o "^${area%%:*}[0-9]\{4\}\.ZIP" | tr '\n' ' ')
  all=$(for ((n = 1; n <= count; n++)); do printf "${area%%:*}%04d.ZIP " $n; done)
  [ "$names" = "$all" ] || fail "${area#*:} posted $names"
done
# Each list archived once, after its reports; no record in two lists.
[ "$(ls "$tmp/spool/done" | wc -l)" = 5 ] || fail "archived: $(ls "$tmp/spool/done")"
[ "$(cat "$tmp/spool/done/"* | tr -d '\r' | grep -c '^U[0-9]\{4\}\.ZIP$')" = "$count" ] ||
  fail "the archived lists do not hold each record once"
ls "$tmp/spool/done" | grep -v '^newfiles\.lst\.[0-9]\{8\}-[0-9]\{6\}\(\.[0-9]*\)\?$' &&
  fail "archived under other names"

[ $failures -eq 0 ] && echo "nightly recipe ($recipe): every night as expected, $count records posted once each"
exit $((failures != 0))
