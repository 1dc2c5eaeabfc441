#!/usr/bin/env bash
# Runs one end-to-end case against a built movrek32 (or, for a case marked
# `check`, the movrek32-check beside it):
#
#   run_case.sh <movrek32 binary> <case directory> [emulator prefix]
#
# The program goes with the default prog/ files and the case's own into a
# fresh directory and runs from a copy of the default and the case's work/
# files (after the case's optional setup script). Then the exit code, the
# console output (its third line, the banner's credit line, is free) and every
# file of the work directory are compared byte for byte: files named in
# expected/work/ with those, every other file with what it was before the run.
# tests/e2e/README.md describes the case files. MOVREK_E2E_KEEP=1 keeps the
# temporary tree.
set -u
export LC_ALL=C
# The console is the program's own bytes unless a case sets its env.
unset MOVREK32_CONSOLE
[ $# -ge 2 ] || { echo "usage: $0 <movrek32> <case_dir> [emulator prefix]" >&2; exit 2; }
binary=$1 case_dir=${2%/}
read -r -a emulator <<<"${3-}"
name=$(basename "$case_dir")
[ -f "$case_dir/check" ] && binary=$(dirname "$binary")/movrek32-check${binary##*movrek32}
defaults=$(cd "$(dirname "$0")/defaults" && pwd)

# A .exe is a Windows program: posix-only cases are passed over, and its
# console, in text mode, ends lines with CR LF.
host=posix
case $binary in *.exe) host=windows ;; esac
if [ -e "$case_dir/$([ $host = windows ] && echo posix || echo windows)-only" ]; then
  echo "$name: not a case for a $host program, skipped"
  exit 0
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-e2e.XXXXXX") || exit 2
if [ "${MOVREK_E2E_KEEP:-0}" = 1 ]; then trap 'echo "kept $tmp"' EXIT; else trap 'rm -rf "$tmp"' EXIT; fi
mkdir -p "$tmp/prog" "$tmp/work" "$tmp/out"
program=$(basename "$binary")
cp "$binary" "$tmp/prog/" || exit 2
# A case `like` another takes that case's files and expectations as its own.
base=$case_dir
[ -f "$case_dir/like" ] && base=$(dirname "$case_dir")/$(cat "$case_dir/like")
for d in prog work; do
  for from in "$defaults/$d" "$base/$d" "$case_dir/$d"; do
    if [ -d "$from" ]; then cp -R "$from/." "$tmp/$d/" || exit 2; fi
  done
done
find "$tmp/prog" "$tmp/work" -name .empty -delete
# An optional setup script, run from the tree root, makes big or binary inputs.
if [ -f "$base/setup" ]; then
  setup=$(cd "$base" && pwd)/setup
  (cd "$tmp" && bash "$setup") || { echo "$name: setup failed" >&2; exit 2; }
fi
# One argument per line; @PROG@ and @WORK@ stand for the two directories.
args=()
args_file=$base/args
[ -f "$args_file" ] || args_file=$defaults/args
while IFS= read -r line || [ -n "$line" ]; do
  line=${line//@PROG@/$tmp/prog}
  args+=("${line//@WORK@/$tmp/work}")
done <"$args_file"
invoke=absolute
[ -f "$case_dir/invoke" ] && read -r invoke <"$case_dir/invoke"
# The program's environment: a terminal's locale reads UTF-8, unless the
# case's `env` (NAME=value lines) says otherwise.
program_env=()
[ "$invoke" = terminal ] && program_env=(LC_ALL=C.UTF-8)
if [ -f "$case_dir/env" ]; then
  while IFS= read -r line; do program_env+=("$line"); done <"$case_dir/env"
fi
case $invoke in
  absolute) command=("$tmp/prog/$program") ;;
  relative) command=("../prog/$program") ;;
  path) command=("$program"); export PATH="$tmp/prog:$PATH" ;;
  # A link in the current directory, beside its decoys.
  symlink) ln -s "$tmp/prog/$program" "$tmp/work/$program" && command=("./$program") ;;
  # On a pseudo-terminal, whose line ends are CR LF; an emulator (or valgrind)
  # runs inside it, around the program itself.
  terminal) command=(script -qec "$(printf '%q ' "${emulator[@]}" "$tmp/prog/$program" "${args[@]}")" /dev/null)
    args=() ;;
  *) echo "$name: unknown invoke mode '$invoke'" >&2; exit 2 ;;
esac
cp -R "$tmp/work" "$tmp/before"
outer=("${emulator[@]}")
[ "$invoke" = terminal ] && outer=()
(cd "$tmp/work" && exec env "${program_env[@]}" timeout 60 "${outer[@]}" "${command[@]}" "${args[@]}") \
  </dev/null >"$tmp/out/stdout" 2>"$tmp/out/stderr"
status=$?

expected_dir=$case_dir/expected
[ -d "$expected_dir" ] || expected_dir=$base/expected
failed=0
fail() { echo "FAIL $name: $*"; failed=1; }
show() { sed -e 's/\r/<CR>/g' -e 's/\x00/<NUL>/g' "$1" | iconv -f CP866 -t UTF-8 2>/dev/null || cat -v "$1"; }
compare() {  # compare <what> <expected file> <actual file>
  cmp -s "$2" "$3" && return 0
  fail "$1 differs"
  cmp -l "$2" "$3" 2>&1 | head -n 8
  diff -a -u <(show "$2") <(show "$3") | tail -n +3 | head -n 40
}
# A big expected file is given as NAME.sha256, the sha256 hex of NAME.
same_sum() { [ "$(sha256sum <"$2" | cut -c1-64)" = "$(head -c 64 "$1")" ]; }

[ "$status" = "$(cat "$expected_dir/exit")" ] ||
  fail "exit code $status, expected $(cat "$expected_dir/exit")"
fold=cat
[ $host = windows ] || [ "$invoke" = terminal ] && fold="sed -e s/\r$//"
credit=3d  # movrek32's credit line; movrek32-check prints no banner
[ -f "$case_dir/check" ] && credit=
# @TMP@ in the expected console stands for the case's temporary directory.
sed -e "$credit" -e "s|@TMP@|$tmp|g" "$expected_dir/stdout" >"$tmp/out/expected" 2>/dev/null ||
  : >"$tmp/out/expected"
$fold "$tmp/out/stdout" | sed -e "$credit" >"$tmp/out/actual"
if [ -f "$expected_dir/stdout.sha256" ]; then
  same_sum "$expected_dir/stdout.sha256" "$tmp/out/actual" || fail "console output differs (sha256)"
else
  compare "console output" "$tmp/out/expected" "$tmp/out/actual"
fi
# An emulator may talk on standard error itself; the program never does.
if [ ${#emulator[@]} -eq 0 ] && [ -s "$tmp/out/stderr" ]; then
  fail "output on standard error: $(head -c 500 "$tmp/out/stderr")"
fi

listing() { [ -d "$1" ] && (cd "$1" && find . -mindepth 1 -printf '%y %P\n' | sed -e 's/\.sha256$//'); }
{ listing "$tmp/before"; listing "$expected_dir/work"; } | sort -u >"$tmp/out/expected.list"
listing "$tmp/work" | sort >"$tmp/out/actual.list"
compare "the list of work files" "$tmp/out/expected.list" "$tmp/out/actual.list"
while read -r type file; do
  [ "$type" = f ] && [ -f "$tmp/work/$file" ] || continue
  expected=$expected_dir/work/$file
  if [ -f "$expected.sha256" ]; then
    same_sum "$expected.sha256" "$tmp/work/$file" || fail "work/$file differs (sha256)"
  elif [ -f "$expected" ]; then
    compare "work/$file" "$expected" "$tmp/work/$file"
  else
    compare "work/$file (untouched)" "$tmp/before/$file" "$tmp/work/$file"
  fi
done <"$tmp/out/expected.list"

[ $failed -eq 0 ] && echo "PASS $name"
exit $failed
