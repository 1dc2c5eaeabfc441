#!/usr/bin/env bash
# Runs one end-to-end case against a built movrek32:
#
#   run_case.sh <movrek32 binary> <case directory> [emulator prefix]
#
# The program is copied with the case's prog/ files into a fresh directory and
# run from a copy of work/ (after the case's optional setup script); then the exit code, the console output (its third
# line, the banner's credit line, is free) and every file of the work directory
# are compared byte for byte with expected/ (or by sha256 with a NAME.sha256
# in place of a big file). tests/e2e/README.md describes the
# case files. MOVREK_E2E_KEEP=1 keeps the temporary tree.
set -u
export LC_ALL=C
[ $# -ge 2 ] || { echo "usage: $0 <movrek32> <case_dir> [emulator prefix]" >&2; exit 2; }
binary=$1 case_dir=${2%/}
read -r -a emulator <<<"${3-}"
name=$(basename "$case_dir")

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
for d in prog work; do
  if [ -d "$case_dir/$d" ]; then cp -R "$case_dir/$d/." "$tmp/$d/" || exit 2; fi
done
find "$tmp/prog" "$tmp/work" -name .empty -delete
# An optional setup script, run from the tree root, makes big or binary inputs.
if [ -f "$case_dir/setup" ]; then
  setup=$(cd "$case_dir" && pwd)/setup
  (cd "$tmp" && bash "$setup") || { echo "$name: setup failed" >&2; exit 2; }
fi

# One argument per line; @PROG@ and @WORK@ stand for the two directories.
args=()
if [ -f "$case_dir/args" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line//@PROG@/$tmp/prog}
    args+=("${line//@WORK@/$tmp/work}")
  done <"$case_dir/args"
fi
invoke=absolute
[ -f "$case_dir/invoke" ] && read -r invoke <"$case_dir/invoke"
case $invoke in
  absolute) command=("$tmp/prog/$program") ;;
  relative) command=("../prog/$program") ;;
  path) command=("$program"); export PATH="$tmp/prog:$PATH" ;;
  *) echo "$name: unknown invoke mode '$invoke'" >&2; exit 2 ;;
esac
(cd "$tmp/work" && exec timeout 60 "${emulator[@]}" "${command[@]}" "${args[@]}") \
  </dev/null >"$tmp/out/stdout" 2>"$tmp/out/stderr"
status=$?

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

[ "$status" = "$(cat "$case_dir/expected/exit")" ] ||
  fail "exit code $status, expected $(cat "$case_dir/expected/exit")"
fold=cat
[ $host = windows ] && fold="sed -e s/\r$//"
sed -e 3d "$case_dir/expected/stdout" >"$tmp/out/expected" 2>/dev/null || : >"$tmp/out/expected"
$fold "$tmp/out/stdout" | sed -e 3d >"$tmp/out/actual"
if [ -f "$case_dir/expected/stdout.sha256" ]; then
  same_sum "$case_dir/expected/stdout.sha256" "$tmp/out/actual" || fail "console output differs (sha256)"
else
  compare "console output" "$tmp/out/expected" "$tmp/out/actual"
fi
# An emulator may talk on standard error itself; the program never does.
if [ ${#emulator[@]} -eq 0 ] && [ -s "$tmp/out/stderr" ]; then
  fail "output on standard error: $(head -c 500 "$tmp/out/stderr")"
fi

listing() { [ -d "$1" ] && (cd "$1" && find . -mindepth 1 ! -name .empty -printf '%y %P\n' | sort); }
listing "$case_dir/expected/work" | sed -e 's/^f \(.*\)\.sha256$/f \1/' | sort >"$tmp/out/expected.list"
listing "$tmp/work" >"$tmp/out/actual.list"
compare "the list of work files" "$tmp/out/expected.list" "$tmp/out/actual.list"
while read -r type file; do
  [ "$type" = f ] && [ -f "$tmp/work/$file" ] || continue
  if [ -f "$case_dir/expected/work/$file.sha256" ]; then
    same_sum "$case_dir/expected/work/$file.sha256" "$tmp/work/$file" || fail "work/$file differs (sha256)"
  else
    compare "work/$file" "$case_dir/expected/work/$file" "$tmp/work/$file"
  fi
done <"$tmp/out/expected.list"

[ $failed -eq 0 ] && echo "PASS $name"
exit $failed
