#!/usr/bin/env bash
# Checks what a build hands out without running it (so also where 32-bit code cannot run): the
# program is a GUI PE of the build's architecture importing system DLLs only, with two manifests
# of that architecture; the stand-in panel library exports every entry point the program binds,
# undecorated; every promised file is in the output folder and needs no compiler runtime DLL.
# Usage: check_binaries.sh <x86|x64> <Panelcast.exe> <DirectOutput.dll> <binding source>
#        <bin folder> <promised file>...
set -uo pipefail

arch=$1 program=$2 library=$3 binding=$4 bin=$5
shift 5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ "$arch" = x64 ]; then
  objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 manifest_arch=amd64  # PE32+
else
  objdump=i686-w64-mingw32-objdump format=pei-i386 manifest_arch=x86  # PE32
fi
imports_of() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r'; }

dump=$("$objdump" -p "$program") || fail "$program is not readable as a PE file"
grep -q "file format $format" <<<"$dump" || fail "$program is not a $format PE"
grep -Eq '^Subsystem\s+00000002\s+\(Windows GUI\)' <<<"$dump" || fail "$program: not GUI subsystem"
# DLLs Windows itself provides; anything else would have to be shipped beside the program.
for dll in $(imports_of "$program"); do
  grep -qw "${dll%.dll}" <<<"kernel32 user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32
    advapi32 setupapi cfgmgr32 gdiplus msvcrt version winmm uxtheme" || fail "$program imports $dll"
done

# Every DirectOutput_ name the program resolves, exported as it is: a __stdcall export left
# decorated (_Name@12 or Name@12) would not be found.
wanted=$(grep -o '"DirectOutput_[A-Za-z]*"' "$binding" | tr -d '"' | sort -u)
[ -n "$wanted" ] || fail "no entry point named in $binding"
exported=$("$objdump" -p "$library" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -n 's/^\s*\[ *[0-9]*\] //p' | tr -d '\r')
for name in $wanted; do
  grep -qx "$name" <<<"$exported" || fail "$(basename "$library") does not export $name undecorated"
done

# The manifest that names $1, as the program carries it (plain text in the resource section),
# must name the build's architecture only.
manifest_naming() {
  tr '\0' '\n' <"$program" | sed -n '/<assembly /,/<\/assembly>/p' |
    awk -v name="$1" '/<assembly /{ n++ } index($0, name) { found = n }
                      { text[n] = text[n] $0 "\n" } END { printf "%s", text[found] }'
}
for name in Zivovi.Panelcast Microsoft.FlightSimulator.SimConnect; do
  text=$(manifest_naming "$name")
  archs=$(grep -o 'processorArchitecture="[^"]*"' <<<"$text" | sort -u)
  [ "$archs" = "processorArchitecture=\"$manifest_arch\"" ] \
    || fail "the manifest naming $name names ${archs:-no architecture}, not only $manifest_arch"
done
grep -q 'name="Microsoft.Windows.Common-Controls"' <<<"$(manifest_naming Zivovi.Panelcast)" \
  || fail "no common controls 6 in the program's manifest"

for name in "$@"; do
  [ -f "$bin/$name" ] || { fail "$name is missing from $bin"; continue; }
  runtime=$(imports_of "$bin/$name" | grep -E '^(libgcc|libstdc\+\+|libwinpthread)' | tr '\n' ' ')
  [ -z "$runtime" ] || fail "$name needs the compiler runtime DLL(s) $runtime"
done

[ "$failures" -eq 0 ] || { echo "$failures build check(s) failed"; exit 1; }
echo "build checks passed ($arch)"
