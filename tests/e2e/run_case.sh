#!/usr/bin/env bash
# Runs one end-to-end case against a built movrek32.
#
#   run_case.sh <movrek32 binary> <case directory> [emulator prefix]
#
# The case directory layout and the conventions of its files are described in
# tests/e2e/README.md. The runner builds a fresh temporary tree for the case:
#
#   <tmp>/prog/   a copy of the binary plus the case's prog/ files
#   <tmp>/work/   a copy of the case's work/ files; the program runs here
#   <tmp>/out/    the captured console output (outside work/ on purpose)
#
# and compares the exit code, the console output and the whole work directory
# afterwards with the case's expected/ files. Set MOVREK_E2E_KEEP=1 to keep the
# temporary tree for inspection.

set -u
export LC_ALL=C

if [ $# -lt 2 ]; then
  echo "usage: $0 <movrek32> <case_dir> [emulator prefix]" >&2
  exit 2
fi

binary=$1
case_dir=${2%/}
emulator_text=${3-}
read -r -a emulator <<<"$emulator_text"
case_name=$(basename "$case_dir")

if [ ! -f "$binary" ]; then
  echo "$case_name: no program at $binary" >&2
  exit 2
fi
if [ ! -f "$case_dir/expected/exit" ]; then
  echo "$case_name: $case_dir/expected/exit is missing" >&2
  exit 2
fi

# The host the program was built for: a .exe is a Windows program.
host=posix
case $binary in *.exe) host=windows ;; esac

# Cases that depend on the host carry a marker: posix-only (slash as a path,
# /dev/full, PATH lookup) or windows-only (slash options, drive paths).
if [ $host = windows ] && [ -e "$case_dir/posix-only" ]; then
  echo "$case_name: posix-only case, skipped for a Windows program"
  exit 0
fi
if [ $host = posix ] && [ -e "$case_dir/windows-only" ]; then
  echo "$case_name: windows-only case, skipped for a POSIX program"
  exit 0
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-e2e.XXXXXX") || exit 2
cleanup() {
  if [ "${MOVREK_E2E_KEEP:-0}" = 1 ]; then
    echo "$case_name: kept $tmp"
  else
    chmod -R u+rwx "$tmp" 2>/dev/null
    rm -rf "$tmp"
  fi
}
trap cleanup EXIT

mkdir -p "$tmp/prog" "$tmp/work" "$tmp/out"
program_name=$(basename "$binary")
cp "$binary" "$tmp/prog/$program_name" || exit 2
chmod u+x "$tmp/prog/$program_name"
if [ -d "$case_dir/prog" ]; then cp -R "$case_dir/prog/." "$tmp/prog/" || exit 2; fi
if [ -d "$case_dir/work" ]; then cp -R "$case_dir/work/." "$tmp/work/" || exit 2; fi
# A file named .empty only keeps an otherwise empty directory in the case.
find "$tmp/prog" "$tmp/work" -type f -name .empty -delete

# Arguments: one per line; an empty line is an empty argument; @PROG@ and
# @WORK@ stand for the absolute program and work directories.
args=()
if [ -f "$case_dir/args" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line//@PROG@/$tmp/prog}
    line=${line//@WORK@/$tmp/work}
    args+=("$line")
  done <"$case_dir/args"
fi

invoke=absolute
if [ -f "$case_dir/invoke" ]; then
  read -r invoke <"$case_dir/invoke"
fi

run_limit=()
if command -v timeout >/dev/null 2>&1; then run_limit=(timeout 60); fi

case $invoke in
  absolute)
    (cd "$tmp/work" &&
      exec "${run_limit[@]}" "${emulator[@]}" "$tmp/prog/$program_name" "${args[@]}") \
      </dev/null >"$tmp/out/stdout" 2>"$tmp/out/stderr"
    status=$?
    ;;
  relative)
    (cd "$tmp/work" &&
      exec "${run_limit[@]}" "${emulator[@]}" "../prog/$program_name" "${args[@]}") \
      </dev/null >"$tmp/out/stdout" 2>"$tmp/out/stderr"
    status=$?
    ;;
  path)
    (cd "$tmp/work" && PATH="$tmp/prog:$PATH" &&
      exec "${run_limit[@]}" "${emulator[@]}" "$program_name" "${args[@]}") \
      </dev/null >"$tmp/out/stdout" 2>"$tmp/out/stderr"
    status=$?
    ;;
  *)
    echo "$case_name: unknown invoke mode '$invoke' (absolute, relative or path)" >&2
    exit 2
    ;;
esac

failed=0
fail() {
  echo "FAIL $case_name: $*"
  failed=1
}

# Shows a CP866 file as readable text: CR and NUL made visible.
show() {
  if command -v iconv >/dev/null 2>&1; then
    sed -e 's/\r/<CR>/g' -e 's/\x00/<NUL>/g' "$1" | iconv -f CP866 -t UTF-8 2>/dev/null
  else
    sed -e 's/\r/<CR>/g' -e 's/\x00/<NUL>/g' "$1" | cat -v
  fi
}

explain() {  # explain <expected file> <actual file>
  echo "--- first differing bytes (offset, expected octal, actual octal):"
  cmp -l "$1" "$2" 2>&1 | head -n 12
  echo "--- diff of the texts (expected / actual):"
  diff -a -u <(show "$1") <(show "$2") | tail -n +3 | head -n 60
}

# Exit code.
read -r expected_status <"$case_dir/expected/exit"
if [ "$status" != "$expected_status" ]; then
  fail "exit code $status, expected $expected_status"
fi

# Console output. The third line is the banner's credit line and is free;
# a Windows program's console (text mode) gets its CR LF folded to LF first.
actual_stdout=$tmp/out/stdout
if [ $host = windows ]; then
  sed -e 's/\r$//' "$tmp/out/stdout" >"$tmp/out/stdout.folded"
  actual_stdout=$tmp/out/stdout.folded
fi
expected_stdout=$case_dir/expected/stdout
[ -f "$expected_stdout" ] || expected_stdout=/dev/null
sed -e '3d' "$expected_stdout" >"$tmp/out/stdout.expected.cmp"
sed -e '3d' "$actual_stdout" >"$tmp/out/stdout.actual.cmp"
if ! cmp -s "$tmp/out/stdout.expected.cmp" "$tmp/out/stdout.actual.cmp"; then
  fail "console output differs (credit line not compared)"
  explain "$tmp/out/stdout.expected.cmp" "$tmp/out/stdout.actual.cmp"
fi
# An emulator may talk on standard error itself; the program never does.
if [ ${#emulator[@]} -eq 0 ] && [ -s "$tmp/out/stderr" ]; then
  fail "unexpected output on standard error:"
  head -c 2000 "$tmp/out/stderr"
fi

# The work directory: the same entries, and every file byte for byte.
listing() {  # listing <dir>: one line per entry, "d name" or "f name"
  [ -d "$1" ] || return 0
  (cd "$1" && find . -mindepth 1 ! -name .empty \( -type d -printf 'd %P\n' -o -printf 'f %P\n' \) | sort)
}
listing "$case_dir/expected/work" >"$tmp/out/work.expected.list"
listing "$tmp/work" >"$tmp/out/work.actual.list"
if ! cmp -s "$tmp/out/work.expected.list" "$tmp/out/work.actual.list"; then
  fail "the work directory holds other entries than expected:"
  diff "$tmp/out/work.expected.list" "$tmp/out/work.actual.list" | grep '^[<>]' |
    sed -e 's/^</  missing:   /' -e 's/^>/  unexpected:/'
fi
while IFS= read -r entry; do
  [ "${entry:0:2}" = "f " ] || continue
  name=${entry:2}
  [ -f "$tmp/work/$name" ] || continue
  if ! cmp -s "$case_dir/expected/work/$name" "$tmp/work/$name"; then
    fail "work/$name differs"
    explain "$case_dir/expected/work/$name" "$tmp/work/$name"
  fi
done <"$tmp/out/work.expected.list"

if [ $failed -ne 0 ]; then
  echo "--- console output of the run:"
  show "$tmp/out/stdout" | head -n 40
  exit 1
fi
echo "PASS $case_name"
exit 0
