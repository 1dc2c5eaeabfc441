#!/usr/bin/env bash
# The Debian maintainer scripts (packaging/deb) on scratch roots, through
# DPKG_ROOT, with a stand-in for dpkg-query and a few lines standing in for
# dpkg's unpack. Checks that a sysop's movrek.cfg or edited newfile.rpt in
# /usr/lib/movrek32 ends up in /etc/movrek32, and so does a file made there by
# hand; that dpkg never finds a plain file where it is to unpack a new
# conffile (it would ask about it); that the conffiles of an installed
# package are left to dpkg; and that a failed unpack gives everything back.
#
#   bash tests/package/maintainer_scripts_test.sh <source directory>
set -u

source_dir=$1
scripts=$source_dir/packaging/deb
shipped_cfg=$source_dir/packaging/movrek.cfg
shipped_rpt=$source_dir/examples/newfile.rpt

tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-maint.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
  echo "FAIL: $scenario: $*"
  failures=$((failures + 1))
}

# dpkg-query as the scripts use it, answering from $STUB_DB: "owned" holds
# lines "package: /path", "md5sums" the installed movrek32's md5sums.
mkdir -p "$tmp/bin"
cat >"$tmp/bin/dpkg-query" <<'EOF'
#!/bin/sh
case $1 in
  -S)
    grep -x ".*: $2" "$STUB_DB/owned" 2>/dev/null && exit 0
    echo "dpkg-query: no path found matching pattern $2" >&2
    exit 1
    ;;
  --control-show)
    [ "$2 $3" = "movrek32 md5sums" ] && [ -f "$STUB_DB/md5sums" ] && exec cat "$STUB_DB/md5sums"
    exit 1
    ;;
esac
echo "dpkg-query stand-in: unexpected $*" >&2
exit 2
EOF
chmod +x "$tmp/bin/dpkg-query"

n=0
new_root() {
  # A scratch root for one scenario: $root, with its dpkg-query answers in $db.
  scenario=$1
  n=$((n + 1))
  root=$tmp/root$n
  db=$tmp/db$n
  mkdir -p "$root/usr/lib/movrek32" "$db"
  : >"$db/owned"
}
maint() {
  # Runs a maintainer script as dpkg would for $root; its stderr in $said.
  local script=$1
  shift
  said=$(DPKG_ROOT=$root STUB_DB=$db PATH="$tmp/bin:$PATH" sh "$scripts/$script" "$@" 2>&1 >/dev/null)
  local status=$?
  [ $status -eq 0 ] || fail "$script $*: exit code $status: $said"
}
old_package() {
  # The 2.3.0 layout: the package owns a plain newfile.rpt in /usr/lib/movrek32.
  cp "$shipped_rpt" "$root/usr/lib/movrek32/newfile.rpt"
  echo "movrek32: /usr/lib/movrek32/newfile.rpt" >>"$db/owned"
  echo "$(md5sum <"$shipped_rpt" | cut -d ' ' -f 1)  usr/lib/movrek32/newfile.rpt" >"$db/md5sums"
}
unpack() {
  # dpkg's unpack: symlinks in /usr/lib/movrek32, new conffiles in /etc. A
  # plain file already at a new conffile's place would make dpkg ask.
  mkdir -p "$root/etc/movrek32"
  for name in movrek.cfg newfile.rpt; do
    rm -f "$root/usr/lib/movrek32/$name"
    ln -s "/etc/movrek32/$name" "$root/usr/lib/movrek32/$name"
    if ! grep -qx "movrek32: /etc/movrek32/$name" "$db/owned"; then
      [ ! -e "$root/etc/movrek32/$name" ] || fail "dpkg would ask about /etc/movrek32/$name"
      echo "movrek32: /etc/movrek32/$name" >>"$db/owned"
    fi
  done
  [ -e "$root/etc/movrek32/movrek.cfg" ] || cp "$shipped_cfg" "$root/etc/movrek32/movrek.cfg"
  [ -e "$root/etc/movrek32/newfile.rpt" ] || cp "$shipped_rpt" "$root/etc/movrek32/newfile.rpt"
  grep -v '^movrek32: /usr/lib/movrek32/newfile.rpt$' "$db/owned" >"$db/owned.new"
  mv "$db/owned.new" "$db/owned"
}
expect_file() {
  # expect_file <path in root> <file with the expected bytes>
  if [ -L "$root$1" ] || ! cmp -s "$2" "$root$1"; then
    fail "$1 is not $(basename "$2")"
  fi
}
expect_none() {
  [ ! -e "$root$1" ] && [ ! -L "$root$1" ] || fail "$1 is there"
}
expect_links() {
  for name in movrek.cfg newfile.rpt; do
    [ "$(readlink "$root/usr/lib/movrek32/$name")" = "/etc/movrek32/$name" ] ||
      fail "/usr/lib/movrek32/$name is not the link to /etc/movrek32/$name"
  done
}
expect_nothing_left_over() {
  for leftover in "$root"/etc/movrek32/*.usr-lib "$root"/etc/movrek32/*.local; do
    [ ! -e "$leftover" ] || fail "${leftover#"$root"} is left over"
  done
}

printf '; the sysop own\nREPORTWIDTH 60\n' >"$tmp/own.cfg"
printf '@A\n@F\n@S\n@D\n' >"$tmp/own.rpt"

new_root "upgrade from 2.3.0 with a configuration beside the program"
old_package
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
maint preinst upgrade 2.3.0
expect_none /usr/lib/movrek32/movrek.cfg
expect_file /usr/lib/movrek32/newfile.rpt "$shipped_rpt"
unpack
maint postinst configure 2.3.0
expect_links
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/movrek.cfg.dpkg-dist "$shipped_cfg"
expect_file /etc/movrek32/newfile.rpt "$shipped_rpt"
expect_none /etc/movrek32/newfile.rpt.dpkg-dist
expect_nothing_left_over
case $said in
  *"/usr/lib/movrek32/movrek.cfg is now /etc/movrek32/movrek.cfg"*) ;;
  *) fail "postinst said: $said" ;;
esac
maint postinst configure 2.3.0
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/movrek.cfg.dpkg-dist "$shipped_cfg"

new_root "upgrade from 2.3.0 with an edited template"
old_package
cp "$tmp/own.rpt" "$root/usr/lib/movrek32/newfile.rpt"
maint preinst upgrade 2.3.0
expect_none /usr/lib/movrek32/newfile.rpt
unpack
maint postinst configure 2.3.0
expect_links
expect_file /etc/movrek32/newfile.rpt "$tmp/own.rpt"
expect_file /etc/movrek32/newfile.rpt.dpkg-dist "$shipped_rpt"
expect_file /etc/movrek32/movrek.cfg "$shipped_cfg"
expect_nothing_left_over

new_root "install after 2.3.0 was removed, its configuration left behind"
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
maint preinst install
unpack
maint postinst configure
expect_links
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/newfile.rpt "$shipped_rpt"
expect_nothing_left_over

new_root "first install"
maint preinst install
unpack
maint postinst configure
[ -z "$said" ] || fail "postinst said: $said"
expect_links
expect_file /etc/movrek32/movrek.cfg "$shipped_cfg"
expect_file /etc/movrek32/newfile.rpt "$shipped_rpt"
expect_none /etc/movrek32/movrek.cfg.dpkg-dist

new_root "upgrade within the /etc layout"
unpack
cp "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg"
cp "$tmp/own.rpt" "$root/etc/movrek32/newfile.rpt"
echo "$(md5sum <"$shipped_rpt" | cut -d ' ' -f 1)  etc/movrek32/newfile.rpt" >"$db/md5sums"
maint preinst upgrade 2.4.0
unpack
maint postinst configure 2.4.0
expect_links
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/newfile.rpt "$tmp/own.rpt"
expect_none /etc/movrek32/movrek.cfg.dpkg-dist

new_root "upgrade from 2.3.0 that fails in the unpack"
old_package
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
maint preinst upgrade 2.3.0
maint postrm abort-upgrade 2.3.0
expect_file /usr/lib/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /usr/lib/movrek32/newfile.rpt "$shipped_rpt"
expect_nothing_left_over

new_root "an unpack that fails after the symlinks were made"
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
maint preinst install
unpack
maint postrm abort-install
expect_file /usr/lib/movrek32/movrek.cfg "$tmp/own.cfg"
expect_nothing_left_over

new_root "install over a configuration made in /etc by hand"
mkdir -p "$root/etc/movrek32"
cp "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg"
maint preinst install
unpack
maint postinst configure
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/movrek.cfg.dpkg-dist "$shipped_cfg"
expect_nothing_left_over

new_root "upgrade from 2.3.0 with a configuration in both places"
old_package
cp "$tmp/own.cfg" "$root/usr/lib/movrek32/movrek.cfg"
mkdir -p "$root/etc/movrek32"
echo "; made by hand, never read" >"$tmp/hand.cfg"
cp "$tmp/hand.cfg" "$root/etc/movrek32/movrek.cfg"
maint preinst upgrade 2.3.0
unpack
maint postinst configure 2.3.0
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_file /etc/movrek32/movrek.cfg.dpkg-old "$tmp/hand.cfg"
expect_file /etc/movrek32/movrek.cfg.dpkg-dist "$shipped_cfg"
expect_nothing_left_over

new_root "install over a configuration in /etc that fails in the unpack"
mkdir -p "$root/etc/movrek32"
cp "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg"
maint preinst install
maint postrm abort-install
expect_file /etc/movrek32/movrek.cfg "$tmp/own.cfg"
expect_nothing_left_over

new_root "purge after a configuration that never reached its place"
mkdir -p "$root/etc/movrek32"
cp "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg.usr-lib"
cp "$tmp/own.cfg" "$root/etc/movrek32/movrek.cfg.local"
maint postrm purge
expect_nothing_left_over

if [ $failures -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "maintainer scripts: $n scenarios as expected"
