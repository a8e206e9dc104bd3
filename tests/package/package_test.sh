#!/usr/bin/env bash
# The release zip holds the program, byte for byte the one built, and the guide; one end-to-end
# case runs on the unpacked program (which the driver starts for PANELCAST_TEST_PROGRAM). Usage:
# package_test.sh <zip> <release name> <built Panelcast.exe> <unpack folder> <test.exe> <case>
set -euo pipefail

zip=$1 name=$2 built=$3 unpacked=$4 test=$5 case=$6
rm -rf "$unpacked" && mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"

listed=$(cd "$unpacked" && find . -type f | sort | tr '\n' ' ')
expected="./$name/Panelcast.exe ./$name/README.txt "
[ "$listed" = "$expected" ] || { echo "FAIL: the zip holds $listed, not $expected"; exit 1; }
cmp "$built" "$unpacked/$name/Panelcast.exe" || { echo "FAIL: not the program built"; exit 1; }

export PANELCAST_TEST_PROGRAM="unpacked\\$name\\Panelcast.exe"
exec "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine-test-run" "$test" --gtest_filter="$case"
