#!/usr/bin/env bash
# Unpacks the release zip into a fresh folder beside the test programs, checks that it holds
# exactly the program and the guide, and the program byte for byte the one built, then runs one
# end-to-end case on the unpacked copy (the driver starts PANELCAST_TEST_PROGRAM in place of
# bin/Panelcast.exe).
# Usage: package_test.sh <zip> <release name> <built Panelcast.exe> <unpack folder> <test.exe> <case>
set -euo pipefail

zip=$1 name=$2 built=$3 unpacked=$4 test=$5 case=$6
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"

listed=$(cd "$unpacked" && find . -type f | sort | tr '\n' ' ')
expected="./$name/Panelcast.exe ./$name/README.txt "
[ "$listed" = "$expected" ] || { echo "FAIL: the zip holds $listed, not $expected"; exit 1; }
cmp "$built" "$unpacked/$name/Panelcast.exe" ||
  { echo "FAIL: the zip's Panelcast.exe is not the one built"; exit 1; }
echo "$(basename "$zip"): Panelcast.exe and README.txt, the program the one built"

export PANELCAST_TEST_PROGRAM="unpacked\\$name\\Panelcast.exe"
exec "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine-test-run" "$test" --gtest_filter="$case"
