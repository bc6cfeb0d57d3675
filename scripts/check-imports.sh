#!/bin/bash
# Fails unless every DLL the given exe imports ships with Windows.
set -euo pipefail
exe=$1
allowed='^(kernel32|user32|gdi32|comctl32|winspool\.drv|msvcrt|advapi32|shell32|ole32|comdlg32|ntdll)(\.dll)?$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "$exe imports:" $dlls
status=0
for dll in $dlls; do
  if ! echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$allowed"; then
    echo "not a Windows system DLL: $dll" >&2
    status=1
  fi
done
[ -n "$dlls" ] || { echo "no imports found in $exe" >&2; exit 1; }
exit $status
