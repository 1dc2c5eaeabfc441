#!/usr/bin/env bash
# Checks the built Debian package (`make package-check`, as root):
#
#   bash tests/package/package_check.sh <package.deb> <source directory>
#
# 1. lintian finds no error and no warning.
# 2. The contents: the conffiles in /etc/movrek32 and the symlinks to them
#    beside the program; documents over 4 kB gzipped, examples excepted; the
#    README without its developers' parts.
# 3. dpkg installs it on a scratch root, upgrading the 2.3.0 layout (a plain
#    newfile.rpt that the package owned, edited, and a movrek.cfg that no
#    package owned, both in /usr/lib/movrek32) without asking anything; the
#    sysop's files end up in /etc/movrek32. A purge leaves nothing behind.
set -u
export LC_ALL=C
unset MOVREK32_CONSOLE

deb=$1
source_dir=$2

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== lintian"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v '^running with root privileges'
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian"

echo "== contents"
contents=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
for entry in ./etc/movrek32/movrek.cfg ./etc/movrek32/newfile.rpt \
  "./usr/lib/movrek32/movrek.cfg -> /etc/movrek32/movrek.cfg" \
  "./usr/lib/movrek32/newfile.rpt -> /etc/movrek32/newfile.rpt" \
  "./usr/bin/movrek32 -> ../lib/movrek32/movrek32" ./usr/lib/movrek32/movrek32 \
  ./usr/share/doc/movrek32/README.md.gz ./usr/share/doc/movrek32/copyright \
  ./usr/share/doc/movrek32/changelog.gz ./usr/share/doc/movrek32/examples/nightly.sh \
  ./usr/share/man/man1/movrek32.1.gz; do
  grep -qxF "$entry" <<<"$contents" || fail "the package lacks $entry"
done
# Examples stay as they are, to be copied (as debhelper leaves them).
dpkg-deb -c "$deb" | awk '$1 ~ /^-/ && $3 > 4096 && $6 ~ /^\.\/usr\/share\/doc\// &&
                          $6 !~ /\/examples\// && $6 !~ /\.gz$/ { print $6 }' |
  while read -r big; do fail "$big is over 4 kB and not gzipped"; done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-package.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT

dpkg-deb -e "$deb" "$tmp/control"
printf '/etc/movrek32/movrek.cfg\n/etc/movrek32/newfile.rpt\n' | cmp -s - "$tmp/control/conffiles" ||
  fail "conffiles: $(cat "$tmp/control/conffiles")"
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/movrek32/README.md.gz | gzip -dc >"$tmp/README.md"
cmp -s "$tmp/README.md" "$source_dir/README.md" && fail "the installed README is the whole README"
grep -q 'make check\|apt-get install cmake' "$tmp/README.md" && fail "the installed README tells how to build"
grep -q '^## Running it every night' "$tmp/README.md" || fail "the installed README lacks the nightly recipe"

echo "== install and upgrade on a scratch root"
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/proc"
: >"$root/var/lib/dpkg/status"
run_dpkg() {
  # No terminal: a question about a conffile would fail the command.
  dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null "$@" \
    </dev/null >"$tmp/dpkg.out" 2>&1
  local status=$?
  [ $status -eq 0 ] || fail "dpkg $*: $(cat "$tmp/dpkg.out")"
}

# The layout of 2.3.0: the template a plain file of the package, beside it.
mkdir -p "$tmp/old/DEBIAN" "$tmp/old/usr/lib/movrek32"
cp "$source_dir/examples/newfile.rpt" "$tmp/old/usr/lib/movrek32/"
cat >"$tmp/old/DEBIAN/control" <<EOF
Package: movrek32
Version: 2.3.0~old
Architecture: $(dpkg-deb -f "$deb" Architecture)
Maintainer: movrek32 authors <movrek32@example.org>
Description: the 2.3.0 layout
 newfile.rpt beside the program.
EOF
(cd "$tmp/old" && md5sum usr/lib/movrek32/newfile.rpt >DEBIAN/md5sums)
dpkg-deb -b "$tmp/old" "$tmp/old.deb" >/dev/null
run_dpkg -i "$tmp/old.deb"
printf '; mine\nREPORTWIDTH 60\nHEADER\nFOOTER\n' >"$tmp/own.cfg"
printf '@A\n@E\n@L\n@F\n@S\n@D\n@O\n' >"$tmp/own.rpt"
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
cp "$tmp/own.rpt" "$root/usr/lib/movrek32/newfile.rpt"

run_dpkg -i "$deb"
cmp -s "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg" || fail "upgrade: the sysop's movrek.cfg is not in /etc"
cmp -s "$tmp/own.rpt" "$root/etc/movrek32/newfile.rpt" || fail "upgrade: the edited newfile.rpt is not in /etc"
cmp -s "$source_dir/packaging/movrek.cfg" "$root/etc/movrek32/movrek.cfg.dpkg-dist" ||
  fail "upgrade: the shipped movrek.cfg is not kept as movrek.cfg.dpkg-dist"
for name in movrek.cfg newfile.rpt; do
  [ "$(readlink "$root/usr/lib/movrek32/$name")" = "/etc/movrek32/$name" ] ||
    fail "upgrade: /usr/lib/movrek32/$name is not the link"
done

run_dpkg --purge movrek32
for gone in /etc/movrek32 /usr/lib/movrek32 /usr/share/doc/movrek32 /usr/bin/movrek32; do
  [ ! -e "$root$gone" ] && [ ! -L "$root$gone" ] || fail "purge left $gone"
done

[ $failures -eq 0 ] && echo "package check: all as expected"
exit $((failures != 0))
