#!/usr/bin/env bash
# Runs movrek32 and movrek32-check of a build on a generated list of N records
# (tools/large-run.sh BUILD_DIR N), in a directory of its own under the build
# directory, and fails when either fails; under a sanitizer, when it reports.
set -eu

build=$1
records=$2
work=$build/large-run
rm -rf "$work"
mkdir -p "$work/prog" "$work/run"
cp "$build/movrek32" "$build/movrek32-check" "$work/prog/"
printf '@A\r\n@E\r\n@L\r\n@F\r\n@S\r\n@D\r\n@O\r\n' >"$work/prog/newfile.rpt"
"$build/bench/gen_list" --shape many-groups --records "$records" --out "$work/run" >/dev/null
mv "$work/run/movrek.cfg" "$work/prog/"
cd "$work/run"
../prog/movrek32 list.lst main.rpt >console.txt
../prog/movrek32-check list.lst main.rpt >check.txt
reports=$(ls | grep -cv "^console.txt$\|^check.txt$\|^list.lst$")
echo "large run: $records records, $reports reports"
