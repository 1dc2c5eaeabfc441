#!/usr/bin/env bash
# The Debian maintainer scripts (packaging/deb) on scratch roots, through
# DPKG_ROOT, with a stand-in for dpkg-query and a few lines standing in for
# dpkg's unpack:
#
#   bash tests/package/maintainer_scripts_test.sh <source directory>
#
# A sysop's movrek.cfg or edited newfile.rpt in /usr/lib/movrek32 ends up in
# /etc/movrek32, and so does a file made there by hand; dpkg never finds a
# plain file where it is to unpack a new conffile (it would ask); conffiles
# of an installed package are left to dpkg; a failed unpack gives everything
# back; a purge leaves nothing of the scripts'.
set -u
scripts=$1/packaging/deb
tmp=$(mktemp -d "${TMPDIR:-/tmp}/movrek-maint.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0 n=0
fail() { echo "FAIL: $name: $*"; failures=$((failures + 1)); }

# The texts a file can hold, by name.
mkdir "$tmp/bin" "$tmp/texts"
cp "$1/packaging/movrek.cfg" "$tmp/texts/shipped.cfg"
cp "$1/examples/newfile.rpt" "$tmp/texts/shipped.rpt"
printf 'REPORTWIDTH 60\n' >"$tmp/texts/own.cfg"
printf '@A\n@F\n' >"$tmp/texts/own.rpt"
printf '; never read\n' >"$tmp/texts/hand.cfg"
rpt_sum=$(md5sum <"$tmp/texts/shipped.rpt" | cut -d ' ' -f 1)
# dpkg-query -S and --control-show, answering from $db/owned ("pkg: /path")
# and $db/md5sums.
cat >"$tmp/bin/dpkg-query" <<'EOF'
#!/bin/sh
[ "$1" = -S ] && exec grep -qx ".*: $2" "$STUB_DB/owned"
[ "$1 $2 $3" = "--control-show movrek32 md5sums" ] && exec cat "$STUB_DB/md5sums"
exit 1
EOF
chmod +x "$tmp/bin/dpkg-query"

# dpkg's unpack: symlinks in /usr/lib/movrek32 and the conffiles, new ones
# only where nothing is (else dpkg would ask).
unpack() {
  for f in movrek.cfg newfile.rpt; do
    ln -sfn "/etc/movrek32/$f" "$root/usr/lib/movrek32/$f"
    if ! grep -qx "movrek32: /etc/movrek32/$f" "$db/owned"; then
      [ ! -e "$root/etc/movrek32/$f" ] || fail "dpkg would ask about /etc/movrek32/$f"
      cp "$tmp/texts/shipped.${f##*.}" "$root/etc/movrek32/$f"
      echo "movrek32: /etc/movrek32/$f" >>"$db/owned"
    fi
  done
}

# scenario <name> <files before> <steps> <files after>: files are PATH=TEXT,
# "old" (the 2.3.0 package: its own newfile.rpt in /usr/lib) or "installed"
# (this package: links and conffiles); steps are "unpack" and maintainer
# scripts with their arguments joined by ":".
scenario() {
  name=$1 root=$tmp/root$((++n)) db=$tmp/db$n
  mkdir -p "$root/usr/lib/movrek32" "$root/etc/movrek32" "$db"
  echo "$rpt_sum  usr/lib/movrek32/newfile.rpt" >"$db/md5sums"
  : >"$db/owned"
  for file in $2; do
    case $file in
      old) file=usr/lib/movrek32/newfile.rpt=shipped.rpt
        echo "movrek32: /usr/lib/movrek32/newfile.rpt" >>"$db/owned" ;;
      installed) unpack && continue ;;
    esac
    cp "$tmp/texts/${file#*=}" "$root/${file%=*}"
  done
  for step in $3; do
    [ "$step" = unpack ] && unpack && continue
    args=${step#*:}
    DPKG_ROOT=$root STUB_DB=$db PATH="$tmp/bin:$PATH" sh "$scripts/${step%%:*}" ${args//:/ } \
      >/dev/null 2>&1 || fail "$step failed"
  done
  for file in $4; do
    cmp -s "$tmp/texts/${file#*=}" "$root/${file%=*}" || fail "${file%=*} is not ${file#*=}"
  done
  left=$(cd "$root/etc/movrek32" && ls *.usr-lib *.local 2>/dev/null)
  [ -z "$left" ] || fail "left over: $left"
}
up="preinst:upgrade:2.3.0 unpack postinst:configure:2.3.0"
scenario "first install" "" "preinst:install unpack postinst:configure" \
  "etc/movrek32/movrek.cfg=shipped.cfg etc/movrek32/newfile.rpt=shipped.rpt"
scenario "upgrade with a configuration beside the program" "old usr/lib/movrek32/movrek.cfg=own.cfg" "$up" \
  "etc/movrek32/movrek.cfg=own.cfg etc/movrek32/movrek.cfg.dpkg-dist=shipped.cfg etc/movrek32/newfile.rpt=shipped.rpt"
scenario "upgrade with an edited template" "old usr/lib/movrek32/newfile.rpt=own.rpt" "$up" \
  "etc/movrek32/newfile.rpt=own.rpt etc/movrek32/newfile.rpt.dpkg-dist=shipped.rpt"
scenario "a configuration in both places" "old usr/lib/movrek32/movrek.cfg=own.cfg etc/movrek32/movrek.cfg=hand.cfg" \
  "$up" "etc/movrek32/movrek.cfg=own.cfg etc/movrek32/movrek.cfg.dpkg-old=hand.cfg"
scenario "an unpack that fails" "old usr/lib/movrek32/movrek.cfg=own.cfg etc/movrek32/movrek.cfg=hand.cfg" \
  "preinst:upgrade:2.3.0 postrm:abort-upgrade:2.3.0" \
  "usr/lib/movrek32/movrek.cfg=own.cfg usr/lib/movrek32/newfile.rpt=shipped.rpt etc/movrek32/movrek.cfg=hand.cfg"
scenario "upgrade within /etc" "installed etc/movrek32/movrek.cfg=own.cfg etc/movrek32/newfile.rpt=own.rpt" \
  "preinst:upgrade:2.4.0 unpack postinst:configure:2.4.0" \
  "etc/movrek32/movrek.cfg=own.cfg etc/movrek32/newfile.rpt=own.rpt"
scenario "purge" "etc/movrek32/movrek.cfg.usr-lib=own.cfg etc/movrek32/movrek.cfg.local=hand.cfg" \
  "postrm:purge" ""
name=links
[ "$(readlink "$tmp/root1/usr/lib/movrek32/movrek.cfg")" = /etc/movrek32/movrek.cfg ] ||
  fail "no link to the configuration"

[ $failures -eq 0 ] && echo "maintainer scripts: $n scenarios as expected"
exit $((failures != 0))
