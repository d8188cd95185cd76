#!/usr/bin/env bash
# Makes the Windows zip with CPack and checks it: exactly the two programs, the README, the changelog
# and the licence in one folder named like the zip, the texts as their sources with CR LF line ends.
#   check-zip.sh CMAKE CPACK BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
cmake=$1 cpack=$2 build=$3 source=$4 version=$5
work=$build/package-test
top=velkorin-$version-win64
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
zip=$work/$top.zip
[ -f "$zip" ] || fail "CPack made no $top.zip"

listed=$("$cmake" -E tar tf "$zip" | LC_ALL=C sort)
expected="$top/CHANGELOG.txt
$top/LICENSE.txt
$top/README.txt
$top/Velkorin.exe
$top/velkorin-cli.exe"
[ "$listed" = "$expected" ] || fail "the zip holds"$'\n'"$listed"$'\n'"instead of"$'\n'"$expected"

(cd "$work" && "$cmake" -E tar xf "$top.zip")
for text in README.md:README.txt CHANGELOG.md:CHANGELOG.txt LICENSE:LICENSE.txt; do
  sed 's/$/\r/' "$source/${text%%:*}" | cmp -s - "$work/$top/${text#*:}" ||
    fail "${text#*:} is not ${text%%:*} with CR LF line ends"
done
