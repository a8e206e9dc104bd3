#!/usr/bin/env bash
# Checks what a build hands out, reading the files without running them (so the 32-bit program
# is checked on machines that cannot run it): the program is a GUI-subsystem PE of the build's
# architecture that imports system DLLs only, holds its resources with their ids and sizes and
# two manifests naming every assembly in its own architecture; the stand-in panel library exports
# every entry point the program binds under its undecorated name; every promised file is in the
# output folder and needs no compiler runtime DLL.
# Usage: check_binaries.sh <x86|x64> <Panelcast.exe> <DirectOutput.dll> <binding source> <bin folder>
#        <promised file>...
set -uo pipefail

arch=$1 program=$2 library=$3 binding=$4 bin=$5
shift 5
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ "$arch" = x64 ]; then
  objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 magic='020b\s+\(PE32\+\)' manifest_arch=amd64
else
  objdump=i686-w64-mingw32-objdump format=pei-i386 magic='010b\s+\(PE32\)' manifest_arch=x86
fi

# DLLs Windows itself provides; anything else would have to be shipped beside the program.
allowed="kernel32 user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 advapi32
setupapi cfgmgr32 gdiplus msvcrt version winmm uxtheme"

imports_of() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r'; }

check_program() {
  local dump dll
  dump=$("$objdump" -p "$program") || { fail "$program is not readable as a PE file"; return; }
  grep -q "file format $format" <<<"$dump" || fail "$program is not a $format PE"
  grep -Eq "^Magic\s+$magic" <<<"$dump" || fail "$program has not the optional header $magic"
  grep -Eq '^Subsystem\s+00000002\s+\(Windows GUI\)' <<<"$dump" \
    || fail "$program is not a GUI-subsystem program"
  for dll in $(imports_of "$program"); do
    grep -qw "${dll%.dll}" <<<"$allowed" || fail "$program imports $dll, not a system DLL"
  done
  echo "$(basename "$program") imports: $(imports_of "$program" | tr '\n' ' ')"
}

# Every DirectOutput_ name the program resolves, exported as it is: a __stdcall export left
# decorated (_Name@12 or Name@12) would not be found.
check_exports() {
  local wanted exported name
  wanted=$(grep -o '"DirectOutput_[A-Za-z]*"' "$binding" | tr -d '"' | sort -u)
  [ "$(wc -l <<<"$wanted")" -eq 22 ] || fail "the binding names $(wc -l <<<"$wanted") entry points, not 22"
  exported=$("$objdump" -p "$library" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
             sed -n 's/^\s*\[ *[0-9]*\] //p' | tr -d '\r')
  for name in $wanted; do
    grep -qx "$name" <<<"$exported" || fail "$(basename "$library") does not export $name undecorated"
  done
  grep -q '@' <<<"$exported" && fail "$(basename "$library") exports decorated names: $(grep '@' <<<"$exported" | head -n3 | tr '\n' ' ')"
}

# The resource directory as "type:id:size" lines (decimal), from objdump's listing of .rsrc.
resources_of() {
  "$objdump" -p "$program" | sed -n '/The .rsrc Resource Directory section/,/^$/p' |
    awk '/^[0-9a-f]+   Entry: / { sub(/.*ID: /, ""); sub(/,.*/, ""); type = $0; next }
         /^[0-9a-f]+     Entry: / { sub(/.*ID: /, ""); sub(/,.*/, ""); id = $0; next }
         /Leaf: / { sub(/.*Size: /, ""); sub(/,.*/, ""); print type, id, $0 }' |
    while read -r type id size; do echo "$((type)):$((id)):$((size))"; done
}

check_resources() {
  local have entry
  have=$(resources_of)
  # Frame bitmaps: one 320x240 24-bit frame with its header; the about picture and the banner.
  local expected=(2:226:230442 2:227:230442 2:228:230442 2:232:230442 2:233:230442 2:234:230442
                  2:240:230442 2:241:230442 2:230:6520 2:231:105832)
  for entry in "${expected[@]}"; do
    grep -qx "$entry" <<<"$have" || fail "resource type:id:size $entry is missing or of another size"
  done
  # Dialogs, the icon group, the version information and the two manifests, of whatever size.
  for entry in 5:100 5:129 5:225 5:242 14:128 16:1 24:1 24:2; do
    grep -q "^$entry:" <<<"$have" || fail "resource type:id $entry is missing"
  done
}

# The two manifests as the program carries them (plain text in the resource section).
check_manifests() {
  local texts own simulator archs
  texts=$(tr '\0' '\n' <"$program" | sed -n '/<assembly /,/<\/assembly>/p')
  own=$(awk '/<assembly /{ n++ } n && /Zivovi.Panelcast/{ found = n } { text[n] = text[n] $0 "\n" }
             END { printf "%s", text[found] }' <<<"$texts")
  simulator=$(awk '/<assembly /{ n++ } /Microsoft.FlightSimulator.SimConnect/{ found = n }
                   { text[n] = text[n] $0 "\n" } END { printf "%s", text[found] }' <<<"$texts")
  [ -n "$own" ] || fail "no manifest with the program's own identity"
  [ -n "$simulator" ] || fail "no manifest naming the simulator's client library"
  grep -q 'name="Microsoft.Windows.Common-Controls"' <<<"$own" || fail "no common controls 6 in the manifest"
  archs=$(grep -o 'processorArchitecture="[^"]*"' <<<"$own" | sort -u)
  [ "$archs" = "processorArchitecture=\"$manifest_arch\"" ] \
    || fail "the program's manifest names $(tr '\n' ' ' <<<"$archs"), not only $manifest_arch"
  archs=$(grep -o 'processorArchitecture="[^"]*"' <<<"$simulator" | sort -u)
  [ "$archs" = "processorArchitecture=\"$manifest_arch\"" ] \
    || fail "the simulator library's manifest names $(tr '\n' ' ' <<<"$archs"), not $manifest_arch"
}

check_promised() {
  local name path dll
  for name in "$@"; do
    path=$bin/$name
    if [ ! -f "$path" ]; then fail "$name is missing from $bin"; continue; fi
    for dll in $(imports_of "$path"); do
      case "$dll" in
        libgcc*|libstdc++*|libwinpthread*) fail "$name needs the compiler runtime DLL $dll" ;;
      esac
    done
  done
}

check_program
check_exports
check_resources
check_manifests
check_promised "$@"
if [ "$failures" -ne 0 ]; then
  echo "$failures build check(s) failed"
  exit 1
fi
echo "build checks passed ($arch)"
