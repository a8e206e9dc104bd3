#!/usr/bin/env bash
# Checks what the build hands out: the program is a 32-bit x86 GUI-subsystem PE that imports
# system DLLs only (no compiler runtime DLL), and every promised file is in the output folder;
# the other promised binaries must not need a compiler runtime DLL either.
# Usage: check_binaries.sh <Panelcast.exe> <bin folder> <promised file>...
set -uo pipefail

program=$1
bin=$2
shift 2
objdump=i686-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# DLLs Windows itself provides; anything else would have to be shipped beside the program.
allowed="kernel32 user32 gdi32 comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 advapi32
setupapi cfgmgr32 gdiplus msvcrt version winmm uxtheme"

imports_of() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r'; }

check_program() {
  local dump
  dump=$("$objdump" -p "$program") || { fail "$program is not readable as a PE file"; return; }
  grep -q 'file format pei-i386' <<<"$dump" || fail "$program is not an i386 PE"
  grep -Eq '^Magic\s+010b\s+\(PE32\)' <<<"$dump" || fail "$program is not PE32"
  grep -Eq '^Subsystem\s+00000002\s+\(Windows GUI\)' <<<"$dump" \
    || fail "$program is not a GUI-subsystem program"
  local dll
  for dll in $(imports_of "$program"); do
    grep -qw "${dll%.dll}" <<<"$allowed" || fail "$program imports $dll, not a system DLL"
  done
  echo "$(basename "$program") imports: $(imports_of "$program" | tr '\n' ' ')"
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
check_promised "$@"
if [ "$failures" -ne 0 ]; then
  echo "$failures build check(s) failed"
  exit 1
fi
echo "build checks passed"
