#!/usr/bin/env bash
# Installs the build into an empty folder and checks it: exactly the command and its man page, the
# man page of this version with an entry for every command that velkorin --help names.
#   check-install.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 version=$3
stage=$build/install-test
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$stage"
"$cmake" --install "$build" --prefix "$stage" >/dev/null
installed=$(cd "$stage" && find . ! -type d | LC_ALL=C sort)
[ "$installed" = $'./bin/velkorin\n./share/man/man1/velkorin.1' ] || fail "installed:"$'\n'"$installed"

# The page's text without roff's font changes and escaped hyphens.
man=$(sed -e 's/\\f[BIRP]//g' -e 's/\\[,/]//g' -e 's/\\-/-/g' "$stage/share/man/man1/velkorin.1")
grep '^\.TH ' <<<"$man" | grep -qF "\"velkorin $version\"" || fail "the man page is not of velkorin $version"
entries=$(awk 'previous == ".TP" {print} {previous = $0}' <<<"$man")

help=$("$stage/bin/velkorin" --help)
commands=$(awk '/^Commands:$/ {inside = 1; next} inside && /^$/ {exit} inside && /^  [^ ]/ {print $1}' <<<"$help")
[ -n "$commands" ] || fail "velkorin --help names no commands"
for command in $commands; do
  grep -q "^$command\( \|$\)" <<<"$entries" || fail "the man page has no entry for the command $command"
done
