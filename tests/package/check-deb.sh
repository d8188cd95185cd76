#!/usr/bin/env bash
# Makes the Debian package with CPack and checks it on this machine: it installs with dpkg, its
# /usr/bin/velkorin reports this version and extracts the bundled sample as the build does, its
# documentation is where Debian's policy puts it, lintian finds no error in it, and once removed
# nothing of it is left. Installing needs root, as CI has; elsewhere the test is skipped (77), and
# so it is where dpkg is missing or a velkorin package is installed already, which it must not touch.
#   check-deb.sh CPACK BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
cpack=$1 build=$2 source=$3 version=$4
work=$build/deb-test
deb=$work/velkorin_${version}_amd64.deb
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }

[ "$(id -u)" = 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null || skip "no dpkg on this system"
! dpkg -s velkorin >/dev/null 2>&1 || skip "a velkorin package is installed already"

rm -rf "$work"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >/dev/null
[ -f "$deb" ] || fail "CPack made no $(basename "$deb")"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' | LC_ALL=C sort)
expected="/usr/bin/velkorin
/usr/share/doc/velkorin/changelog.gz
/usr/share/doc/velkorin/copyright
/usr/share/lintian/overrides/velkorin
/usr/share/man/man1/velkorin.1.gz"
[ "$files" = "$expected" ] || fail "the package holds"$'\n'"$files"$'\n'"instead of"$'\n'"$expected"
[ -z "$(dpkg-deb -f "$deb" Depends)" ] || fail "the static build depends on: $(dpkg-deb -f "$deb" Depends)"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >&2 || fail "lintian reports errors"
else
  echo "lintian is not installed; its check is left out" >&2
fi

dpkg -i "$deb" >/dev/null
trap 'dpkg -r velkorin >/dev/null 2>&1 || true' EXIT
/usr/bin/velkorin --version | grep -qF "$version" || fail "velkorin --version does not say $version"
out=$work/sample.per
/usr/bin/velkorin extract "$source/samples/sample.mgx" -o "$out"
cmp -s "$out" "$source/samples/sample.per" || fail "the installed velkorin extracts the sample differently"
gzip -dc /usr/share/man/man1/velkorin.1.gz | grep -q "^\.TH .*velkorin $version" || fail "the man page is not of $version"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  /usr/share/doc/velkorin/copyright || fail "the copyright file is not in Debian's format"

dpkg -r velkorin >/dev/null
trap - EXIT
! dpkg -s velkorin >/dev/null 2>&1 || fail "dpkg still knows velkorin after removal"
for file in $files /usr/share/doc/velkorin; do
  [ ! -e "$file" ] || fail "$file is left after removal"
done
