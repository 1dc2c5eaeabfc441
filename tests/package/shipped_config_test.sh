#!/usr/bin/env bash
# The configuration that the packages install (packaging/movrek.cfg) is all
# comments, so with it beside the program a run on the example list writes the
# same reports as a run without any configuration, and prints the same less
# the warning that it works without one.
#
#   bash tests/package/shipped_config_test.sh <movrek32> <source directory>
set -u
export LC_ALL=C
unset MOVREK32_CONSOLE

program=$1
source_dir=$2
examples=$source_dir/examples

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-config.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT

for setup in shipped none; do
  mkdir -p "$tmp/$setup/prog" "$tmp/$setup/work"
  cp "$program" "$examples/newfile.rpt" "$tmp/$setup/prog/"
  cp "$examples/newfiles.lst" "$examples/header.txt" "$examples/footer.txt" "$tmp/$setup/work/"
done
cp "$source_dir/packaging/movrek.cfg" "$tmp/shipped/prog/"
for setup in shipped none; do
  (cd "$tmp/$setup/work" && "../prog/$(basename "$program")" newfiles.lst newfiles.rpt >../console)
  echo $? >"$tmp/$setup/exit"
done

failed=0
if grep -q '^[[:space:]]*[A-Za-z]' "$source_dir/packaging/movrek.cfg"; then
  echo "FAIL: a line of packaging/movrek.cfg is no comment"
  failed=1
fi
warning=$(printf 'работаем без конфига.' | iconv -f UTF-8 -t CP866)
if ! cmp -s "$tmp/none/exit" "$tmp/shipped/exit" || [ "$(cat "$tmp/shipped/exit")" != 0 ]; then
  echo "FAIL: exit code $(cat "$tmp/shipped/exit") with the shipped configuration"
  failed=1
fi
if grep -q "$warning" "$tmp/shipped/console" || ! grep -q "$warning" "$tmp/none/console"; then
  echo "FAIL: the warning about the configuration"
  failed=1
fi
if ! grep -v "$warning" "$tmp/none/console" | cmp -s - "$tmp/shipped/console"; then
  echo "FAIL: the console differs from a run without configuration beyond the warning"
  failed=1
fi
if ! diff -r "$tmp/none/work" "$tmp/shipped/work" >/dev/null; then
  echo "FAIL: the reports differ from those of a run without configuration"
  failed=1
fi
[ $failed -eq 0 ] && echo "shipped configuration: changes nothing"
exit $failed
